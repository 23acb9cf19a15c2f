// The printer-driver UI plug-in interfaces, as the PostScript driver's UI module and its plug-ins
// exchange them. MinGW ships compstui.h, winddiui.h and winspool.h but none of these, so they are
// written here from their documented layout and shared by the plug-in and the stand-in host.
// The sizes are asserted for 64-bit Windows, the only target; a Visual Studio build uses the
// same header (prnoemui.h is not needed).
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <commctrl.h>
#include <compstui.h>
#include <winddiui.h>
#include <winspool.h>

#include <cstddef>

// ---------------------------------------------------------------------------------------------
// Constants

#define OEMGI_GETSIGNATURE 1
#define OEMGI_GETINTERFACEVERSION 2
#define OEMGI_GETVERSION 3
#define OEMGI_GETPUBLISHERINFO 4

#define OEMDM_SIZE 1
#define OEMDM_DEFAULT 2
#define OEMDM_CONVERT 3
#define OEMDM_MERGE 4

#define OEMCUIP_DOCPROP 1
#define OEMCUIP_PRNPROP 2

#ifndef DM_NOPERMISSION
#define DM_NOPERMISSION 0x20
#endif

// ---------------------------------------------------------------------------------------------
// Structures

struct OEM_DMEXTRAHEADER {
    DWORD dwSize;
    DWORD dwSignature;
    DWORD dwVersion;
};
typedef OEM_DMEXTRAHEADER* POEMDMEXTRAHEADER;

typedef BOOL(APIENTRY* PFN_DrvGetDriverSetting)(PVOID pdriverobj, PCSTR Feature, PVOID pOutput,
                                                DWORD cbSize, PDWORD pcbNeeded,
                                                PDWORD pdwOptionsReturned);
typedef BOOL(APIENTRY* PFN_DrvUpdateUISetting)(PVOID pdriverobj, PVOID pOptItem,
                                               DWORD dwPreviousSelection, DWORD dwMode);
typedef BOOL(APIENTRY* PFN_DrvUpgradeRegistrySetting)(HANDLE hPrinter, PCSTR pFeature,
                                                      PCSTR pOption);

struct OEMUIPROCS {
    PFN_DrvGetDriverSetting DrvGetDriverSetting;
    PFN_DrvUpdateUISetting DrvUpdateUISetting;
};
typedef OEMUIPROCS* POEMUIPROCS;

struct OEMUIOBJ {
    DWORD cbSize;
    POEMUIPROCS pOemUIProcs;
};
typedef OEMUIOBJ* POEMUIOBJ;

struct OEMDMPARAM {
    DWORD cbSize;
    PVOID pdriverobj;
    HANDLE hPrinter;
    HANDLE hModule;
    PDEVMODEW pPublicDMIn;
    PDEVMODEW pPublicDMOut;
    PVOID pOEMDMIn;
    PVOID pOEMDMOut;
    DWORD cbBufSize;
};
typedef OEMDMPARAM* POEMDMPARAM;

struct OEMUIPSPARAM {
    DWORD cbSize;
    POEMUIOBJ poemuiobj;
    HANDLE hPrinter;
    PWSTR pPrinterName;
    HANDLE hModule;
    HANDLE hOEMHeap;
    PDEVMODEW pPublicDM;
    PVOID pOEMDM;
    PVOID pOEMUserData;
    DWORD dwFlags;
    PVOID pOemEntry;
};
typedef OEMUIPSPARAM* POEMUIPSPARAM;

typedef LONG(APIENTRY* OEMCUIPCALLBACK)(PCPSUICBPARAM, struct OEMCUIPPARAM*);

struct OEMCUIPPARAM {
    DWORD cbSize;
    POEMUIOBJ poemuiobj;
    HANDLE hPrinter;
    PWSTR pPrinterName;
    HANDLE hModule;
    HANDLE hOEMHeap;
    PDEVMODEW pPublicDM;
    PVOID pOEMDM;
    DWORD dwFlags;
    POPTITEM pDrvOptItems;
    DWORD cDrvOptItems;
    POPTITEM pOEMOptItems;
    DWORD cOEMOptItems;
    PVOID pOEMUserData;
    OEMCUIPCALLBACK OEMCUIPCallback;
};
typedef OEMCUIPPARAM* POEMCUIPPARAM;

static_assert(sizeof(OEM_DMEXTRAHEADER) == 12, "OEM_DMEXTRAHEADER layout");
static_assert(sizeof(OEMUIOBJ) == 16, "OEMUIOBJ layout");
static_assert(sizeof(OEMDMPARAM) == 72, "OEMDMPARAM layout");
static_assert(offsetof(OEMDMPARAM, pOEMDMIn) == 48 && offsetof(OEMDMPARAM, cbBufSize) == 64);
static_assert(sizeof(OEMUIPSPARAM) == 88, "OEMUIPSPARAM layout");
static_assert(offsetof(OEMUIPSPARAM, dwFlags) == 72);
static_assert(sizeof(OEMCUIPPARAM) == 120, "OEMCUIPPARAM layout");
static_assert(offsetof(OEMCUIPPARAM, pOEMOptItems) == 88);
static_assert(offsetof(OEMCUIPPARAM, OEMCUIPCallback) == 112);

// ---------------------------------------------------------------------------------------------
// Interfaces (vtable slot order is the ABI)

// {292515F9-B54B-489B-9275-BAB56821395E}
inline constexpr GUID IID_IPrintOemUI2_ = {
    0x292515f9, 0xb54b, 0x489b, {0x92, 0x75, 0xba, 0xb5, 0x68, 0x21, 0x39, 0x5e}};
// {085CCFCA-3ADF-4C9E-B491-D851A6EDC997}
inline constexpr GUID IID_IPrintCoreUI2_ = {
    0x085ccfca, 0x3adf, 0x4c9e, {0xb4, 0x91, 0xd8, 0x51, 0xa6, 0xed, 0xc9, 0x97}};
// {ABCE80D7-9F46-11D1-882A-00C04FB961EC}: the class this module serves.
inline constexpr GUID CLSID_CorvanePlugin = {
    0xabce80d7, 0x9f46, 0x11d1, {0x88, 0x2a, 0x00, 0xc0, 0x4f, 0xb9, 0x61, 0xec}};

struct IPrintOemUI2 : public IUnknown {
    // IPrintOemCommon
    virtual HRESULT STDMETHODCALLTYPE GetInfo(DWORD dwMode, PVOID pBuffer, DWORD cbSize,
                                              PDWORD pcbNeeded) = 0;
    virtual HRESULT STDMETHODCALLTYPE DevMode(DWORD dwMode, POEMDMPARAM pOemDMParam) = 0;
    // IPrintOemUI
    virtual HRESULT STDMETHODCALLTYPE PublishDriverInterface(IUnknown* pIUnknown) = 0;
    virtual HRESULT STDMETHODCALLTYPE CommonUIProp(DWORD dwMode,
                                                   POEMCUIPPARAM pOemCUIPParam) = 0;
    virtual HRESULT STDMETHODCALLTYPE DocumentPropertySheets(PPROPSHEETUI_INFO pPSUIInfo,
                                                             LPARAM lParam) = 0;
    virtual HRESULT STDMETHODCALLTYPE DevicePropertySheets(PPROPSHEETUI_INFO pPSUIInfo,
                                                           LPARAM lParam) = 0;
    virtual HRESULT STDMETHODCALLTYPE DevQueryPrintEx(POEMUIOBJ poemuiobj,
                                                      PVOID pDQPInfo /* PDEVQUERYPRINT_INFO */,
                                                      PDEVMODEW pPublicDM, PVOID pOEMDM) = 0;
    virtual HRESULT STDMETHODCALLTYPE DeviceCapabilities(POEMUIOBJ poemuiobj, HANDLE hPrinter,
                                                         PWSTR pDeviceName, WORD wCapability,
                                                         PVOID pOutput, PDEVMODEW pPublicDM,
                                                         PVOID pOEMDM, DWORD dwOld,
                                                         DWORD* dwResult) = 0;
    virtual HRESULT STDMETHODCALLTYPE UpgradePrinter(DWORD dwLevel, PBYTE pDriverUpgradeInfo) = 0;
    virtual HRESULT STDMETHODCALLTYPE PrinterEvent(PWSTR pPrinterName, INT iDriverEvent,
                                                   DWORD dwFlags, LPARAM lParam) = 0;
    virtual HRESULT STDMETHODCALLTYPE DriverEvent(DWORD dwDriverEvent, DWORD dwLevel,
                                                  LPBYTE pDriverInfo, LPARAM lParam) = 0;
    virtual HRESULT STDMETHODCALLTYPE QueryColorProfile(HANDLE hPrinter, POEMUIOBJ poemuiobj,
                                                        PDEVMODEW pPublicDM, PVOID pOEMDM,
                                                        ULONG ulQueryMode, VOID* pvProfileData,
                                                        ULONG* pcbProfileData,
                                                        ULONG* pflProfileData) = 0;
    virtual HRESULT STDMETHODCALLTYPE FontInstallerDlgProc(HWND hWnd, UINT usMsg, WPARAM wParam,
                                                           LPARAM lParam) = 0;
    virtual HRESULT STDMETHODCALLTYPE UpdateExternalFonts(HANDLE hPrinter, HANDLE hHeap,
                                                          PWSTR pwstrCartridges) = 0;
    // IPrintOemUI2
    virtual HRESULT STDMETHODCALLTYPE QueryJobAttributes(HANDLE hPrinter, PDEVMODEW pDevmode,
                                                         DWORD dwLevel,
                                                         LPBYTE lpAttributeInfo) = 0;
    virtual HRESULT STDMETHODCALLTYPE HideStandardUI(DWORD dwMode) = 0;
    virtual HRESULT STDMETHODCALLTYPE DocumentEvent(HANDLE hPrinter, HDC hdc, INT iEsc,
                                                    ULONG cbIn, PVOID pvIn, ULONG cbOut,
                                                    PVOID pvOut, PINT piResult) = 0;
};

struct IPrintCoreUI2 : public IUnknown {
    // IPrintOemDriverUI
    virtual HRESULT STDMETHODCALLTYPE DrvGetDriverSetting(PVOID pci, PCSTR Feature,
                                                          PVOID pOutput, DWORD cbSize,
                                                          PDWORD pcbNeeded,
                                                          PDWORD pdwOptionsReturned) = 0;
    virtual HRESULT STDMETHODCALLTYPE DrvUpgradeRegistrySetting(HANDLE hPrinter, PCSTR pFeature,
                                                                PCSTR pOption) = 0;
    virtual HRESULT STDMETHODCALLTYPE DrvUpdateUISetting(PVOID pci, PVOID pOptItem,
                                                         DWORD dwPreviousSelection,
                                                         DWORD dwMode) = 0;
    // IPrintCoreUI2
    virtual HRESULT STDMETHODCALLTYPE GetOptions(POEMUIOBJ poemuiobj, DWORD dwFlags,
                                                 PCSTR pmszFeaturesRequested, DWORD cbIn,
                                                 PSTR pmszFeatureOptionBuf, DWORD cbSize,
                                                 PDWORD pcbNeeded) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetOptions(POEMUIOBJ poemuiobj, DWORD dwFlags,
                                                 PCSTR pmszFeatureOptionBuf, DWORD cbIn,
                                                 PDWORD pdwResult) = 0;
    virtual HRESULT STDMETHODCALLTYPE EnumConstrainedOptions(POEMUIOBJ poemuiobj, DWORD dwFlags,
                                                             PCSTR pszFeatureKeyword,
                                                             PSTR pmszConstrainedOptionList,
                                                             DWORD cbSize,
                                                             PDWORD pcbNeeded) = 0;
    virtual HRESULT STDMETHODCALLTYPE WhyConstrained(POEMUIOBJ poemuiobj, DWORD dwFlags,
                                                     PCSTR pszFeatureKeyword,
                                                     PCSTR pszOptionKeyword, PSTR pmszReasonList,
                                                     DWORD cbSize, PDWORD pcbNeeded) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetGlobalAttribute(POEMUIOBJ poemuiobj, DWORD dwFlags,
                                                         PCSTR pszAttribute, PDWORD pdwDataType,
                                                         PBYTE pbData, DWORD cbSize,
                                                         PDWORD pcbNeeded) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetFeatureAttribute(POEMUIOBJ poemuiobj, DWORD dwFlags,
                                                          PCSTR pszFeatureKeyword,
                                                          PCSTR pszAttribute,
                                                          PDWORD pdwDataType, PBYTE pbData,
                                                          DWORD cbSize, PDWORD pcbNeeded) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetOptionAttribute(POEMUIOBJ poemuiobj, DWORD dwFlags,
                                                         PCSTR pszFeatureKeyword,
                                                         PCSTR pszOptionKeyword,
                                                         PCSTR pszAttribute, PDWORD pdwDataType,
                                                         PBYTE pbData, DWORD cbSize,
                                                         PDWORD pcbNeeded) = 0;
    virtual HRESULT STDMETHODCALLTYPE EnumFeatures(POEMUIOBJ poemuiobj, DWORD dwFlags,
                                                   PSTR pmszFeatureList, DWORD cbSize,
                                                   PDWORD pcbNeeded) = 0;
    virtual HRESULT STDMETHODCALLTYPE EnumOptions(POEMUIOBJ poemuiobj, DWORD dwFlags,
                                                  PCSTR pszFeatureKeyword, PSTR pmszOptionList,
                                                  DWORD cbSize, PDWORD pcbNeeded) = 0;
    virtual HRESULT STDMETHODCALLTYPE QuerySimulationSupport(HANDLE hPrinter, DWORD dwLevel,
                                                             PBYTE pCaps, DWORD cbSize,
                                                             PDWORD pcbNeeded) = 0;
};

// Slot numbers that the host and the tests rely on (the vtable is the contract).
namespace cvabi {
constexpr int kSlotGetInfo = 3;
constexpr int kSlotDocumentEvent = 19;
constexpr int kOemUI2Slots = 20;
} // namespace cvabi
