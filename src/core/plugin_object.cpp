#include "core/plugin_object.h"

#include "core/driver_key.h"
#include "core/module.h"
#include "core/records.h"
#include "core/sheets.h"
#include "core/subsystems.h"

#include <new>

namespace cv {

static HRESULT InvalidParameter() {
    SetLastError(ERROR_INVALID_PARAMETER);
    return E_FAIL;
}

// ---------------------------------------------------------------------------------------------
// Class factory

HRESULT STDMETHODCALLTYPE ClassFactory::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
        *ppv = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE ClassFactory::AddRef() { return InterlockedIncrement(&refCount); }

ULONG STDMETHODCALLTYPE ClassFactory::Release() {
    const LONG n = InterlockedDecrement(&refCount);
    if (n != 0) return n;
    delete this;
    return 0;
}

HRESULT STDMETHODCALLTYPE ClassFactory::CreateInstance(IUnknown* pUnkOuter, REFIID riid,
                                                       void** ppv) {
    if (pUnkOuter) return CLASS_E_NOAGGREGATION;
    if (!ppv) return E_POINTER;
    auto* object = new (std::nothrow) PluginObject();
    if (!object) {
        *ppv = nullptr;
        return E_OUTOFMEMORY;
    }
    const HRESULT hr = object->QueryInterface(riid, ppv);
    object->Release();
    return hr;
}

HRESULT STDMETHODCALLTYPE ClassFactory::LockServer(BOOL fLock) {
    if (fLock)
        InterlockedIncrement(&serverLocks);
    else
        InterlockedDecrement(&serverLocks);
    return S_OK;
}

// ---------------------------------------------------------------------------------------------
// Plug-in object: lifetime

PluginObject::PluginObject() { InterlockedIncrement(&liveObjects); }

PluginObject::~PluginObject() {
    if (coreUI) {
        coreUI->Release();
        coreUI = nullptr;
    }
    InterlockedDecrement(&liveObjects);
}

HRESULT STDMETHODCALLTYPE PluginObject::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IPrintOemUI2_)) {
        *ppv = static_cast<IPrintOemUI2*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE PluginObject::AddRef() { return InterlockedIncrement(&refCount); }

ULONG STDMETHODCALLTYPE PluginObject::Release() {
    const LONG n = InterlockedDecrement(&refCount);
    if (n != 0) return n;
    delete this;
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Plug-in object: methods answered here

HRESULT STDMETHODCALLTYPE PluginObject::GetInfo(DWORD dwMode, PVOID pBuffer, DWORD cbSize,
                                                PDWORD pcbNeeded) {
    if (!pcbNeeded ||
        (dwMode != OEMGI_GETSIGNATURE && dwMode != OEMGI_GETVERSION &&
         dwMode != OEMGI_GETPUBLISHERINFO))
        return InvalidParameter();
    *pcbNeeded = sizeof(DWORD);
    if (cbSize < sizeof(DWORD) || !pBuffer) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return E_FAIL;
    }
    switch (dwMode) {
    case OEMGI_GETSIGNATURE:
        *static_cast<DWORD*>(pBuffer) = kPluginSignature;
        return S_OK;
    case OEMGI_GETVERSION:
        *static_cast<DWORD*>(pBuffer) = kPluginVersion;
        return S_OK;
    default: // OEMGI_GETPUBLISHERINFO: the plug-in publishes nothing
        *pcbNeeded = 0;
        SetLastError(ERROR_NOT_SUPPORTED);
        return E_FAIL;
    }
}

HRESULT STDMETHODCALLTYPE PluginObject::DevMode(DWORD dwMode, POEMDMPARAM p) {
    if (p && p->hPrinter) MigrateDefaultUserSettings(p->hPrinter);
    if (!p) return InvalidParameter();
    auto* out = static_cast<PluginDevmode*>(p->pOEMDMOut);
    switch (dwMode) {
    case OEMDM_SIZE:
        p->cbBufSize = kPluginDevmodeSize;
        return S_OK;
    case OEMDM_DEFAULT:
        defaultPluginDevmode(out);
        return S_OK;
    case OEMDM_CONVERT:
        convertPluginDevmode(p->pOEMDMIn, out);
        return S_OK;
    case OEMDM_MERGE:
        mergePluginDevmode(p->pOEMDMIn, out);
        return S_OK;
    default:
        return InvalidParameter();
    }
}

HRESULT STDMETHODCALLTYPE PluginObject::PublishDriverInterface(IUnknown* pIUnknown) {
    if (coreUI) return S_OK;
    if (!pIUnknown) return E_FAIL;
    void* found = nullptr;
    if (FAILED(pIUnknown->QueryInterface(IID_IPrintCoreUI2_, &found)) || !found) {
        coreUI = nullptr;
        return E_FAIL;
    }
    coreUI = static_cast<IPrintCoreUI2*>(found);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE PluginObject::CommonUIProp(DWORD dwMode, POEMCUIPPARAM p) {
    if (!p || (dwMode != OEMCUIP_DOCPROP && dwMode != OEMCUIP_PRNPROP)) return InvalidParameter();
    return AdvancedTreeItems(this, dwMode, p);
}

HRESULT STDMETHODCALLTYPE PluginObject::DocumentPropertySheets(PPROPSHEETUI_INFO info,
                                                               LPARAM lParam) {
    if (!info || info->Version != PROPSHEETUI_INFO_VERSION) return InvalidParameter();
    DocumentSheets(this, info, lParam);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE PluginObject::DevicePropertySheets(PPROPSHEETUI_INFO info,
                                                             LPARAM lParam) {
    if (!info || info->Version != PROPSHEETUI_INFO_VERSION) return InvalidParameter();
    DeviceSheets(this, info, lParam);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE PluginObject::PrinterEvent(PWSTR pPrinterName, INT iDriverEvent,
                                                     DWORD, LPARAM) {
    if (iDriverEvent != PRINTER_EVENT_INITIALIZE) return S_OK;
    return AssignPrintProcessor(pPrinterName) ? S_OK : E_FAIL;
}

HRESULT STDMETHODCALLTYPE PluginObject::DriverEvent(DWORD dwDriverEvent, DWORD dwLevel,
                                                    LPBYTE pDriverInfo, LPARAM) {
    HandleDriverEvent(dwDriverEvent, dwLevel, pDriverInfo);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE PluginObject::DocumentEvent(HANDLE, HDC, INT iEsc, ULONG, PVOID,
                                                      ULONG cbOut, PVOID pvOut, PINT piResult) {
    if (!piResult) return E_FAIL;
    if (iEsc == DOCUMENTEVENT_QUERYFILTER) {
        // A buffer too short for the count is no buffer: writing the count would overrun it.
        constexpr size_t kCountEnd =
            offsetof(DOCEVENT_FILTER, cElementsReturned) + sizeof(UINT);
        if (!pvOut || cbOut < kCountEnd) {
            *piResult = DOCUMENTEVENT_FAILURE;
            return S_OK;
        }
        // An empty filter: the plug-in wants no document events at all.
        static_cast<PDOCEVENT_FILTER>(pvOut)->cElementsReturned = 0;
    }
    *piResult = DOCUMENTEVENT_SUCCESS;
    return S_OK;
}

// ---------------------------------------------------------------------------------------------
// Methods the plug-in does not implement; the driver's own behaviour stays.

HRESULT STDMETHODCALLTYPE PluginObject::DevQueryPrintEx(POEMUIOBJ, PVOID, PDEVMODEW, PVOID) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE PluginObject::DeviceCapabilities(POEMUIOBJ, HANDLE, PWSTR, WORD, PVOID,
                                                           PDEVMODEW, PVOID, DWORD, DWORD*) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE PluginObject::UpgradePrinter(DWORD, PBYTE) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE PluginObject::QueryColorProfile(HANDLE, POEMUIOBJ, PDEVMODEW, PVOID,
                                                          ULONG, VOID*, ULONG*, ULONG*) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE PluginObject::FontInstallerDlgProc(HWND, UINT, WPARAM, LPARAM) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE PluginObject::UpdateExternalFonts(HANDLE, HANDLE, PWSTR) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE PluginObject::QueryJobAttributes(HANDLE, PDEVMODEW, DWORD, LPBYTE) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE PluginObject::HideStandardUI(DWORD) { return E_NOTIMPL; }

} // namespace cv
