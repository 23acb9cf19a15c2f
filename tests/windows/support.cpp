#include "support.h"

#include "host/spooler.h"

#include <gtest/gtest.h>

namespace cvtest {

std::wstring BesideExe(const wchar_t* fileName) {
    return cvhost::BesideProgram(fileName);
}

PluginDll& PluginDll::Get() {
    static PluginDll dll = [] {
        PluginDll d;
        d.module = LoadLibraryW(BesideExe(L"cvpsui.dll").c_str());
        if (d.module) {
            d.getClassObject = reinterpret_cast<GetClassObjectFn>(
                reinterpret_cast<void*>(GetProcAddress(d.module, "DllGetClassObject")));
            d.canUnloadNow = reinterpret_cast<CanUnloadNowFn>(
                reinterpret_cast<void*>(GetProcAddress(d.module, "DllCanUnloadNow")));
        }
        return d;
    }();
    return dll;
}

IClassFactory* PluginDll::Factory() {
    if (!module || !getClassObject) {
        ADD_FAILURE() << "cvpsui.dll or its exports could not be loaded";
        return nullptr;
    }
    IClassFactory* factory = nullptr;
    const HRESULT hr =
        getClassObject(CLSID_CorvanePlugin, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    EXPECT_EQ(hr, S_OK);
    return factory;
}

IPrintOemUI2* PluginDll::CreatePlugin() {
    ComPtr<IClassFactory> factory(Factory());
    if (!factory.get()) return nullptr;
    IPrintOemUI2* plugin = nullptr;
    const HRESULT hr =
        factory->CreateInstance(nullptr, IID_IPrintOemUI2_, reinterpret_cast<void**>(&plugin));
    EXPECT_EQ(hr, S_OK);
    return plugin;
}

} // namespace cvtest
