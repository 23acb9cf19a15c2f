// The DLL's entry points, class factory and plug-in object, reached exactly as the driver's UI
// module reaches them: LoadLibraryW, DllGetClassObject, CreateInstance.
#include "support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using namespace cvtest;

namespace {

// {00000000-0000-0000-0000-0000000000AB}: an interface nobody implements.
constexpr GUID kUnknownIid = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0xab}};

HRESULT CanUnload() { return PluginDll::Get().canUnloadNow(); }

TEST(Entry, GetClassObjectRefusesBadArguments) {
    auto& dll = PluginDll::Get();
    ASSERT_NE(dll.getClassObject, nullptr);
    EXPECT_EQ(dll.getClassObject(CLSID_CorvanePlugin, IID_IClassFactory, nullptr), E_POINTER);

    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(dll.getClassObject(kUnknownIid, IID_IClassFactory, &out),
              CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(out, nullptr);

    out = reinterpret_cast<void*>(1);
    EXPECT_EQ(dll.getClassObject(CLSID_CorvanePlugin, kUnknownIid, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(CanUnload(), S_OK) << "a refused factory must not stay alive";
}

TEST(Entry, FactoryAnswersItsInterfacesOnly) {
    ComPtr<IClassFactory> factory(PluginDll::Get().Factory());
    ASSERT_TRUE(factory.get());
    void* out = nullptr;
    EXPECT_EQ(factory->QueryInterface(IID_IUnknown, &out), S_OK);
    EXPECT_EQ(out, factory.get());
    static_cast<IUnknown*>(out)->Release();
    out = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->QueryInterface(IID_IPrintOemUI2_, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);

    IUnknown* outer = factory.get(); // any non-null outer object asks for aggregation
    EXPECT_EQ(factory->CreateInstance(outer, IID_IPrintOemUI2_, &out), CLASS_E_NOAGGREGATION);
}

TEST(Entry, CreateInstanceForMissingInterfaceLeavesNothingAlive) {
    ComPtr<IClassFactory> factory(PluginDll::Get().Factory());
    ASSERT_TRUE(factory.get());
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IClassFactory, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    factory.reset();
    EXPECT_EQ(CanUnload(), S_OK);
}

TEST(Entry, CanUnloadFollowsLocksAndLiveObjects) {
    EXPECT_EQ(CanUnload(), S_OK);
    {
        ComPtr<IClassFactory> factory(PluginDll::Get().Factory());
        ASSERT_TRUE(factory.get());
        EXPECT_EQ(factory->LockServer(TRUE), S_OK);
        factory.reset();
        EXPECT_EQ(CanUnload(), S_FALSE) << "a server lock keeps the module";
        ComPtr<IClassFactory> again(PluginDll::Get().Factory());
        EXPECT_EQ(again->LockServer(FALSE), S_OK);
    }
    EXPECT_EQ(CanUnload(), S_OK);
    {
        ComPtr<IPrintOemUI2> plugin(PluginDll::Get().CreatePlugin());
        ASSERT_TRUE(plugin.get());
        EXPECT_EQ(CanUnload(), S_FALSE) << "a live plug-in object keeps the module";
    }
    EXPECT_EQ(CanUnload(), S_OK);
}

TEST(Entry, PluginAnswersIUnknownAndItsOwnInterface) {
    ComPtr<IPrintOemUI2> plugin(PluginDll::Get().CreatePlugin());
    ASSERT_TRUE(plugin.get());
    void* out = nullptr;
    ASSERT_EQ(plugin->QueryInterface(IID_IUnknown, &out), S_OK);
    EXPECT_EQ(out, plugin.get());
    EXPECT_EQ(static_cast<IUnknown*>(out)->Release(), 1u);
    out = reinterpret_cast<void*>(1);
    EXPECT_EQ(plugin->QueryInterface(IID_IPrintCoreUI2_, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
}

TEST(Entry, ReferenceCountIsExactUnderConcurrency) {
    ComPtr<IPrintOemUI2> plugin(PluginDll::Get().CreatePlugin());
    ASSERT_TRUE(plugin.get());
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([&] {
            while (!go) std::this_thread::yield();
            for (int i = 0; i < 100000; ++i) {
                plugin->AddRef();
                plugin->Release();
            }
        });
    go = true;
    for (auto& th : threads) th.join();
    EXPECT_EQ(plugin->AddRef(), 2u);
    EXPECT_EQ(plugin->Release(), 1u);
}

TEST(Entry, GetInfoSignatureVersionAndRefusals) {
    ComPtr<IPrintOemUI2> plugin(PluginDll::Get().CreatePlugin());
    ASSERT_TRUE(plugin.get());
    DWORD value = 0, needed = 0;
    ASSERT_EQ(plugin->GetInfo(OEMGI_GETSIGNATURE, &value, 4, &needed), S_OK);
    EXPECT_EQ(value, 0x4352564Eu);
    EXPECT_EQ(needed, 4u);
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&value);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes), 4), "NVRC");

    ASSERT_EQ(plugin->GetInfo(OEMGI_GETVERSION, &value, 4, &needed), S_OK);
    EXPECT_EQ(value, 10u);

    needed = 0;
    SetLastError(0);
    EXPECT_EQ(plugin->GetInfo(OEMGI_GETSIGNATURE, &value, 3, &needed), E_FAIL);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(needed, 4u);
    SetLastError(0);
    EXPECT_EQ(plugin->GetInfo(OEMGI_GETSIGNATURE, nullptr, 4, &needed), E_FAIL);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);

    needed = 99;
    SetLastError(0);
    EXPECT_EQ(plugin->GetInfo(OEMGI_GETPUBLISHERINFO, &value, 4, &needed), E_FAIL);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
    EXPECT_EQ(needed, 0u);

    for (DWORD mode : {DWORD(0), DWORD(OEMGI_GETINTERFACEVERSION), DWORD(5)}) {
        SetLastError(0);
        EXPECT_EQ(plugin->GetInfo(mode, &value, 4, &needed), E_FAIL) << mode;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER)) << mode;
    }
    SetLastError(0);
    EXPECT_EQ(plugin->GetInfo(OEMGI_GETSIGNATURE, &value, 4, nullptr), E_FAIL);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

// The host calls through raw vtable slots; check the slots themselves, not our header's view.
TEST(Entry, VtableSlotsAreWhereTheHostCallsThem) {
    ComPtr<IPrintOemUI2> plugin(PluginDll::Get().CreatePlugin());
    ASSERT_TRUE(plugin.get());
    void** vtable = *reinterpret_cast<void***>(plugin.get());
    using GetInfoFn = HRESULT(STDMETHODCALLTYPE*)(void*, DWORD, PVOID, DWORD, PDWORD);
    DWORD value = 0, needed = 0;
    auto getInfo = reinterpret_cast<GetInfoFn>(vtable[cvabi::kSlotGetInfo]);
    ASSERT_EQ(getInfo(plugin.get(), OEMGI_GETVERSION, &value, 4, &needed), S_OK);
    EXPECT_EQ(value, 10u);

    using HideFn = HRESULT(STDMETHODCALLTYPE*)(void*, DWORD);
    EXPECT_EQ(reinterpret_cast<HideFn>(vtable[18])(plugin.get(), 0), E_NOTIMPL);

    using DocEventFn =
        HRESULT(STDMETHODCALLTYPE*)(void*, HANDLE, HDC, INT, ULONG, PVOID, ULONG, PVOID, PINT);
    INT result = 0;
    auto docEvent = reinterpret_cast<DocEventFn>(vtable[cvabi::kSlotDocumentEvent]);
    EXPECT_EQ(docEvent(plugin.get(), nullptr, nullptr, 1, 0, nullptr, 0, nullptr, &result), S_OK);
    EXPECT_EQ(result, DOCUMENTEVENT_SUCCESS);
}

// A stand-in for the driver's object: counts the questions asked of it.
struct FakeDriver : IPrintCoreUI2 {
    LONG refs = 1;
    int queries = 0;
    bool offerCoreUI = true;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        ++queries;
        if (offerCoreUI && IsEqualIID(riid, IID_IPrintCoreUI2_)) {
            *ppv = this;
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE DrvGetDriverSetting(PVOID, PCSTR, PVOID, DWORD, PDWORD,
                                                  PDWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DrvUpgradeRegistrySetting(HANDLE, PCSTR, PCSTR) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DrvUpdateUISetting(PVOID, PVOID, DWORD, DWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetOptions(POEMUIOBJ, DWORD, PCSTR, DWORD, PSTR, DWORD,
                                         PDWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetOptions(POEMUIOBJ, DWORD, PCSTR, DWORD, PDWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE EnumConstrainedOptions(POEMUIOBJ, DWORD, PCSTR, PSTR, DWORD,
                                                     PDWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE WhyConstrained(POEMUIOBJ, DWORD, PCSTR, PCSTR, PSTR, DWORD,
                                             PDWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetGlobalAttribute(POEMUIOBJ, DWORD, PCSTR, PDWORD, PBYTE, DWORD,
                                                 PDWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetFeatureAttribute(POEMUIOBJ, DWORD, PCSTR, PCSTR, PDWORD, PBYTE,
                                                  DWORD, PDWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetOptionAttribute(POEMUIOBJ, DWORD, PCSTR, PCSTR, PCSTR, PDWORD,
                                                 PBYTE, DWORD, PDWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE EnumFeatures(POEMUIOBJ, DWORD, PSTR, DWORD, PDWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE EnumOptions(POEMUIOBJ, DWORD, PCSTR, PSTR, DWORD,
                                          PDWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE QuerySimulationSupport(HANDLE, DWORD, PBYTE, DWORD,
                                                     PDWORD) override {
        return E_NOTIMPL;
    }
};

TEST(Entry, PublishDriverInterfaceAsksOnceAndReleasesAtTheEnd) {
    FakeDriver driver;
    {
        ComPtr<IPrintOemUI2> plugin(PluginDll::Get().CreatePlugin());
        ASSERT_TRUE(plugin.get());
        EXPECT_EQ(plugin->PublishDriverInterface(&driver), S_OK);
        EXPECT_EQ(driver.queries, 1);
        EXPECT_EQ(driver.refs, 2);
        EXPECT_EQ(plugin->PublishDriverInterface(&driver), S_OK);
        EXPECT_EQ(driver.queries, 1) << "a second publish must not ask again";
    }
    EXPECT_EQ(driver.refs, 1) << "the driver interface is released with the object";

    FakeDriver refusing;
    refusing.offerCoreUI = false;
    ComPtr<IPrintOemUI2> plugin(PluginDll::Get().CreatePlugin());
    EXPECT_EQ(plugin->PublishDriverInterface(&refusing), E_FAIL);
    refusing.offerCoreUI = true;
    EXPECT_EQ(plugin->PublishDriverInterface(&refusing), S_OK) << "a failure keeps coreUI unset";
    EXPECT_EQ(refusing.queries, 2);
}

TEST(Entry, DocumentEventAsksForNoEvents) {
    ComPtr<IPrintOemUI2> plugin(PluginDll::Get().CreatePlugin());
    ASSERT_TRUE(plugin.get());
    struct {
        DOCEVENT_FILTER filter;
        DWORD more[8];
    } buffer{};
    buffer.filter.cbSize = sizeof buffer;
    buffer.filter.cElementsAllocated = 9;
    buffer.filter.cElementsReturned = 5;
    INT result = 0;
    EXPECT_EQ(plugin->DocumentEvent(nullptr, nullptr, DOCUMENTEVENT_QUERYFILTER, 0, nullptr,
                                    sizeof buffer, &buffer, &result),
              S_OK);
    EXPECT_EQ(buffer.filter.cElementsReturned, 0u);
    EXPECT_EQ(result, DOCUMENTEVENT_SUCCESS);

    EXPECT_EQ(plugin->DocumentEvent(nullptr, nullptr, DOCUMENTEVENT_QUERYFILTER, 0, nullptr, 0,
                                    nullptr, &result),
              S_OK);
    EXPECT_EQ(result, DOCUMENTEVENT_FAILURE);
    EXPECT_EQ(plugin->DocumentEvent(nullptr, nullptr, DOCUMENTEVENT_STARTDOC, 0, nullptr, 0,
                                    nullptr, nullptr),
              E_FAIL);
}

TEST(Entry, UnimplementedMethodsSayNotImplemented) {
    ComPtr<IPrintOemUI2> plugin(PluginDll::Get().CreatePlugin());
    ASSERT_TRUE(plugin.get());
    for (DWORD mode : {0u, 1u, 2u, 0xFFFFFFFFu}) EXPECT_EQ(plugin->HideStandardUI(mode), E_NOTIMPL);
    EXPECT_EQ(plugin->DevQueryPrintEx(nullptr, nullptr, nullptr, nullptr), E_NOTIMPL);
    DWORD result = 0;
    EXPECT_EQ(plugin->DeviceCapabilities(nullptr, nullptr, nullptr, 0, nullptr, nullptr, nullptr,
                                         0, &result),
              E_NOTIMPL);
    EXPECT_EQ(plugin->UpgradePrinter(1, nullptr), E_NOTIMPL);
    EXPECT_EQ(plugin->QueryColorProfile(nullptr, nullptr, nullptr, nullptr, 0, nullptr, nullptr,
                                        nullptr),
              E_NOTIMPL);
    EXPECT_EQ(plugin->FontInstallerDlgProc(nullptr, 0, 0, 0), E_NOTIMPL);
    EXPECT_EQ(plugin->UpdateExternalFonts(nullptr, nullptr, nullptr), E_NOTIMPL);
    EXPECT_EQ(plugin->QueryJobAttributes(nullptr, nullptr, 0, nullptr), E_NOTIMPL);
}

TEST(Entry, SheetAndTreeMethodsRefuseBadParameterBlocks) {
    ComPtr<IPrintOemUI2> plugin(PluginDll::Get().CreatePlugin());
    ASSERT_TRUE(plugin.get());
    auto expectRefused = [](HRESULT hr) {
        EXPECT_EQ(hr, E_FAIL);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
        SetLastError(0);
    };
    expectRefused(plugin->DocumentPropertySheets(nullptr, 0));
    expectRefused(plugin->DevicePropertySheets(nullptr, 0));
    PROPSHEETUI_INFO info{};
    info.cbSize = sizeof info;
    info.Version = 0x0200;
    expectRefused(plugin->DocumentPropertySheets(&info, 0));
    expectRefused(plugin->DevicePropertySheets(&info, 0));

    OEMCUIPPARAM param{};
    param.cbSize = sizeof param;
    expectRefused(plugin->CommonUIProp(3, &param));
    expectRefused(plugin->CommonUIProp(OEMCUIP_DOCPROP, nullptr));
}

} // namespace
