// Shared pieces of the tests that run under Wine: the plug-in DLL loaded the way the driver's
// UI module loads it, and small helpers around it.
#pragma once

#include "core/plugin_abi.h"

#include <string>

namespace cvtest {

using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using CanUnloadNowFn = HRESULT(STDAPICALLTYPE*)();

// Full path of a file next to the running test program.
std::wstring BesideExe(const wchar_t* fileName);

// The plug-in module, loaded with LoadLibraryW from beside the test program.
struct PluginDll {
    HMODULE module = nullptr;
    GetClassObjectFn getClassObject = nullptr;
    CanUnloadNowFn canUnloadNow = nullptr;

    static PluginDll& Get(); // loaded once per process, never unloaded
    // A factory from DllGetClassObject for the plug-in's class; fails the test if none.
    IClassFactory* Factory();
    // A new plug-in object through the factory, as the host creates it.
    IPrintOemUI2* CreatePlugin();
};

// Releases a COM pointer at scope end.
template <typename T> struct ComPtr {
    T* p = nullptr;
    ComPtr() = default;
    explicit ComPtr(T* q) : p(q) {}
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() { reset(); }
    void reset() {
        if (p) p->Release();
        p = nullptr;
    }
    T* operator->() const { return p; }
    T** operator&() { return &p; }
    T* get() const { return p; }
};

} // namespace cvtest
