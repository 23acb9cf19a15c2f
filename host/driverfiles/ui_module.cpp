// The driver's user-interface module as far as the spooler itself calls it. When a printer is
// added, Wine's spooler asks the configuration file for the printer's default DEVMODE through
// DrvDocumentPropertySheets (with no sheet) and calls whatever it finds there without checking,
// so the configuration file must be a module that answers it. This one answers with the public
// DEVMODE only: the plug-in's private part is the host's business, in the host's own process.
#include "host/public_devmode.h"

#include <cstddef>

namespace {

// The header that DocumentPropertiesW hands a driver when it shows no sheet (winddiui.h of the
// driver kit; MinGW lacks it).
struct DocumentPropertyHeader {
    WORD cbSize;
    WORD Reserved;
    HANDLE hPrinter;
    LPWSTR pszPrinterName;
    PDEVMODEW pdmIn;
    PDEVMODEW pdmOut;
    DWORD cbOut;
    DWORD fMode;
};

} // namespace

extern "C" LONG WINAPI DrvDocumentPropertySheets(void* sheetInfo, LPARAM lParam) {
    // A sheet is shown by the stand-in host itself, never through the spooler.
    if (sheetInfo) return -1;
    auto* header = reinterpret_cast<DocumentPropertyHeader*>(lParam);
    if (!header || header->cbSize < sizeof *header) return -1;
    if (!header->fMode || !header->pdmOut) return sizeof(DEVMODEW);
    if (!(header->fMode & DM_OUT_BUFFER) || header->cbOut < sizeof(DEVMODEW)) return -1;

    DEVMODEW result;
    cvhost::DefaultPublicDevmode(&result, header->pszPrinterName, 0);
    if (header->fMode & DM_IN_BUFFER) cvhost::MergePublicDevmode(&result, header->pdmIn);
    CopyMemory(header->pdmOut, &result, sizeof result);
    return IDOK;
}

// Device capabilities are answered by the PostScript driver in the host process; the spooler
// learns nothing here.
extern "C" DWORD WINAPI DrvDeviceCapabilities(HANDLE, PWSTR, WORD, void*, PDEVMODEW) {
    return GDI_ERROR;
}
