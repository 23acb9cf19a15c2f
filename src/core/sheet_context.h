// The record every page, dialog and Advanced-tree item of one property sheet shares.
#pragma once

#include "core/plugin_abi.h"
#include "core/records.h"

namespace cv {

class PluginObject;

// Allocated zero-filled from the host's heap for the sheet (hOEMHeap); freed at the sheet's
// destroy step. The shared fields come first; each page keeps its private state at the end.
struct SheetContext {
    HANDLE hComPropSheet;
    POEMUIPSPARAM uiParam;
    PFNCOMPROPSHEET pfnComPropSheet;
    IPrintCoreUI2* coreUI;
    PluginObject* pluginObject;
    FaxCover coverWork;
    double editAngle;
    uint16_t editIntensity;
    uint32_t editPointSize;
    FaxSettings faxStored;
    WatermarkSettings workWatermark;
    Bool32 editorAddMode;
    char16_t editWatermarkName[128];
    Bool32 readOnly;
    uint32_t watermarkOrderWork;
    Bool32 changed;
    double workVerticalOffset;
    double workHorizontalOffset;
    uint8_t workUnits;
    uint32_t workPosition;
    double lastVerticalOffset;
    double lastHorizontalOffset;
    Bool32 positionInMillimetres;
    char16_t newProfileName[128];
    char16_t renameSource[128];
    PluginDevmode dm;
    POPTITEM drvOptItems;
    uint32_t drvOptItemCount;
    uint32_t oemOptItemCount;
    uint32_t dialogResult;
    char16_t dynamicText[128];

    // --- Page-private state (each page's own section) -----------------------------------------
};

// The host's parameter block pieces the pages use; null-safe.
inline HANDLE SheetPrinter(const SheetContext* ctx) {
    return ctx && ctx->uiParam ? ctx->uiParam->hPrinter : nullptr;
}
inline POEMUIOBJ SheetUIObject(const SheetContext* ctx) {
    return ctx && ctx->uiParam ? ctx->uiParam->poemuiobj : nullptr;
}

} // namespace cv
