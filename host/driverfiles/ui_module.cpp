// The driver's user-interface module as far as the spooler itself calls it. When a printer is
// added, Wine's spooler asks the configuration file for the printer's default DEVMODE through
// DrvDocumentPropertySheets (with no sheet) and calls whatever it finds there without checking,
// so the configuration file must be a module that answers it. This one answers with the public
// DEVMODE only: the plug-in's private part is the host's business, in the host's own process.
#include <windows.h>

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

constexpr DWORD kMergedFields = DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES | DM_DEFAULTSOURCE |
                                DM_PRINTQUALITY | DM_COLOR | DM_DUPLEX | DM_COLLATE;

void FillDefaults(DEVMODEW* dm, const wchar_t* printerName) {
    ZeroMemory(dm, sizeof *dm);
    if (printerName) {
        const size_t cap = sizeof dm->dmDeviceName / sizeof dm->dmDeviceName[0];
        size_t n = 0;
        for (; n + 1 < cap && printerName[n]; ++n) dm->dmDeviceName[n] = printerName[n];
        dm->dmDeviceName[n] = 0;
    }
    dm->dmSpecVersion = DM_SPECVERSION;
    dm->dmDriverVersion = 0x0301;
    dm->dmSize = sizeof *dm;
    dm->dmFields = kMergedFields | DM_YRESOLUTION;
    dm->dmOrientation = DMORIENT_PORTRAIT;
    dm->dmPaperSize = DMPAPER_LETTER;
    dm->dmCopies = 1;
    dm->dmDefaultSource = DMBIN_FORMSOURCE;
    dm->dmPrintQuality = 600;
    dm->dmYResolution = 600;
    dm->dmColor = DMCOLOR_COLOR;
    dm->dmDuplex = DMDUP_SIMPLEX;
    dm->dmCollate = DMCOLLATE_TRUE;
}

// Takes over the caller's choices that this module knows, from a DEVMODE of any public size.
void MergeInput(DEVMODEW* out, const DEVMODEW* in) {
    if (!in || in->dmSize < offsetof(DEVMODEW, dmCollate) + sizeof in->dmCollate) return;
    const DWORD fields = in->dmFields & kMergedFields;
    if (fields & DM_ORIENTATION) out->dmOrientation = in->dmOrientation;
    if (fields & DM_PAPERSIZE) out->dmPaperSize = in->dmPaperSize;
    if ((fields & DM_COPIES) && in->dmCopies > 0) out->dmCopies = in->dmCopies;
    if (fields & DM_DEFAULTSOURCE) out->dmDefaultSource = in->dmDefaultSource;
    if ((fields & DM_PRINTQUALITY) && in->dmPrintQuality > 0) out->dmPrintQuality = in->dmPrintQuality;
    if (fields & DM_COLOR) out->dmColor = in->dmColor;
    if (fields & DM_DUPLEX) out->dmDuplex = in->dmDuplex;
    if (fields & DM_COLLATE) out->dmCollate = in->dmCollate;
}

} // namespace

extern "C" LONG WINAPI DrvDocumentPropertySheets(void* sheetInfo, LPARAM lParam) {
    // A sheet is shown by the stand-in host itself, never through the spooler.
    if (sheetInfo) return -1;
    auto* header = reinterpret_cast<DocumentPropertyHeader*>(lParam);
    if (!header || header->cbSize < sizeof *header) return -1;
    if (!header->fMode || !header->pdmOut) return sizeof(DEVMODEW);
    if (!(header->fMode & DM_OUT_BUFFER) || header->cbOut < sizeof(DEVMODEW)) return -1;

    DEVMODEW result;
    FillDefaults(&result, header->pszPrinterName);
    if (header->fMode & DM_IN_BUFFER) MergeInput(&result, header->pdmIn);
    CopyMemory(header->pdmOut, &result, sizeof result);
    return IDOK;
}

// Device capabilities are answered by the PostScript driver in the host process; the spooler
// learns nothing here.
extern "C" DWORD WINAPI DrvDeviceCapabilities(HANDLE, PWSTR, WORD, void*, PDEVMODEW) {
    return GDI_ERROR;
}
