// Module entry points: process attach and detach, and the two COM exports.
#include "core/module.h"
#include "core/plugin_object.h"

#include <new>

namespace cv {

HINSTANCE moduleInstance = nullptr;
volatile LONG liveObjects = 0;
volatile LONG serverLocks = 0;
HANDLE pluginActCtx = INVALID_HANDLE_VALUE;

} // namespace cv

extern "C" BOOL WINAPI DllMain(HINSTANCE hinst, DWORD reason, LPVOID) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        cv::moduleInstance = hinst;
        break;
    case DLL_PROCESS_DETACH:
        if (cv::pluginActCtx != INVALID_HANDLE_VALUE) {
            ReleaseActCtx(cv::pluginActCtx);
            cv::pluginActCtx = INVALID_HANDLE_VALUE;
        }
        break;
    default:
        break;
    }
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (!IsEqualGUID(rclsid, CLSID_CorvanePlugin)) return CLASS_E_CLASSNOTAVAILABLE;
    auto* factory = new (std::nothrow) cv::ClassFactory();
    if (!factory) return E_OUTOFMEMORY;
    // The caller's reference comes from QueryInterface; ours goes, so a refused interface leaves
    // nothing alive.
    const HRESULT hr = factory->QueryInterface(riid, ppv);
    factory->Release();
    return hr;
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return (cv::liveObjects != 0 || cv::serverLocks != 0) ? S_FALSE : S_OK;
}
