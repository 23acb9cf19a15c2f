// The public part of the stand-in driver's DEVMODE: one set of defaults and one merge, for the
// UI module that the spooler asks and for the host's job devmode, so that a printer's default
// and a sheet's job start alike.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstddef>

namespace cvhost {

// The public fields an application may set and the driver takes over.
constexpr DWORD kMergedPublicFields = DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES | DM_DEFAULTSOURCE |
                                      DM_PRINTQUALITY | DM_COLOR | DM_DUPLEX | DM_COLLATE;

// Zero-fills `dm` and writes the driver's defaults; `driverExtra` is the size of the private
// part that follows it.
inline void DefaultPublicDevmode(DEVMODEW* dm, const wchar_t* deviceName, WORD driverExtra) {
    ZeroMemory(dm, sizeof *dm);
    if (deviceName) {
        const size_t capacity = sizeof dm->dmDeviceName / sizeof dm->dmDeviceName[0];
        size_t n = 0;
        for (; n + 1 < capacity && deviceName[n]; ++n)
            dm->dmDeviceName[n] = deviceName[n];
        dm->dmDeviceName[n] = 0;
    }
    dm->dmSpecVersion = DM_SPECVERSION;
    dm->dmDriverVersion = 0x0301;
    dm->dmSize = sizeof *dm;
    dm->dmDriverExtra = driverExtra;
    dm->dmFields = kMergedPublicFields | DM_YRESOLUTION;
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

// Takes over the caller's choices that the driver knows, from a DEVMODE of any public size; one
// too old to hold them all is ignored.
inline bool CanMergePublicDevmode(const DEVMODEW* in) {
    return in && in->dmSize >= offsetof(DEVMODEW, dmCollate) + sizeof in->dmCollate;
}
inline void MergePublicDevmode(DEVMODEW* out, const DEVMODEW* in) {
    if (!CanMergePublicDevmode(in)) return;
    const DWORD fields = in->dmFields & kMergedPublicFields;
    if (fields & DM_ORIENTATION) out->dmOrientation = in->dmOrientation;
    if (fields & DM_PAPERSIZE) out->dmPaperSize = in->dmPaperSize;
    if ((fields & DM_COPIES) && in->dmCopies > 0) out->dmCopies = in->dmCopies;
    if (fields & DM_DEFAULTSOURCE) out->dmDefaultSource = in->dmDefaultSource;
    if ((fields & DM_PRINTQUALITY) && in->dmPrintQuality > 0)
        out->dmPrintQuality = in->dmPrintQuality;
    if (fields & DM_COLOR) out->dmColor = in->dmColor;
    if (fields & DM_DUPLEX) out->dmDuplex = in->dmDuplex;
    if (fields & DM_COLLATE) out->dmCollate = in->dmCollate;
}

} // namespace cvhost
