// The record every page, dialog and Advanced-tree item of one property sheet shares.
#pragma once

#include "core/plugin_abi.h"
#include "core/records.h"

namespace cv {

class PluginObject;

// Allocated zero-filled from the host's heap for the sheet (hOEMHeap) and freed at the sheet's
// destroy step, through the heap it came from. The fields every page may read come first; then
// one small section per page, which only that page (and the dialogs it opens) touches. Modal
// dialogs take what they edit in their own data, not from here.
struct SheetContext {
    // --- Shared ---------------------------------------------------------------------------------
    HANDLE hComPropSheet; // null until a sheet's INIT takes the context (the tree may make it)
    POEMUIPSPARAM uiParam;
    PFNCOMPROPSHEET pfnComPropSheet;
    IPrintCoreUI2* coreUI;
    PluginObject* pluginObject;
    HANDLE heap; // the hOEMHeap the context was allocated from
    Bool32 readOnly;
    // The plug-in changed the devmode in a way the host must learn of at the destroy step.
    Bool32 changed;
    // The pages' working copy of the job's plug-in devmode, taken at INIT.
    PluginDevmode dm;

    // --- Advanced tree ----------------------------------------------------------------------------
    struct {
        POPTITEM drvOptItems; // the driver's items, found when the Advanced page becomes active
        uint32_t drvOptItemCount;
        uint32_t oemOptItemCount;
        // The driver's page-order and pages-per-sheet items of this sheet's tree, found when
        // the tree is filled (the object keeps the last sheet's; two sheets may be open).
        POPTITEM pageOrderItem;
        POPTITEM nupItem;
    } tree;

    // --- Output Options page --------------------------------------------------------------------
    struct {
        FaxSettings faxStored; // "FaxInfo" as last read from the registry
        FaxCover coverWork;    // the cover page being edited, written on leaving and applying
    } output;

    // --- Watermark page -------------------------------------------------------------------------
    struct {
        uint32_t orderWork; // the page's working watermarkOrder, from the devmode at INIT
    } watermark;
};

// The host's parameter block pieces the pages use; null-safe.
inline HANDLE SheetPrinter(const SheetContext* ctx) {
    return ctx && ctx->uiParam ? ctx->uiParam->hPrinter : nullptr;
}
inline POEMUIOBJ SheetUIObject(const SheetContext* ctx) {
    return ctx && ctx->uiParam ? ctx->uiParam->poemuiobj : nullptr;
}

} // namespace cv
