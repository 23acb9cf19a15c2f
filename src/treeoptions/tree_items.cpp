#include "core/plugin_object.h"
#include "core/sheet_context.h"
#include "core/sheets.h"
#include "core/subsystems.h"

namespace cv {

// The colour and quality items arrive later; until then the plug-in adds no items. The tree
// already shares the document sheet's context, whichever of the two comes first.
HRESULT AdvancedTreeItems(PluginObject* object, DWORD mode, POEMCUIPPARAM param) {
    if (!param->pOEMOptItems) {
        param->cOEMOptItems = 0;
        return S_OK;
    }
    if (mode != OEMCUIP_DOCPROP) return S_OK;
    bool made = false;
    SheetContext* ctx = DocumentSheetContext(object, param->hOEMHeap, &made);
    if (ctx && made) {
        ctx->coreUI = object->coreUI;
        ctx->pluginObject = object;
        ctx->readOnly = (param->dwFlags & DM_NOPERMISSION) ? 1 : 0;
        if (const auto* dm = static_cast<const PluginDevmode*>(param->pOEMDM))
            ctx->watermark.orderWork = dm->watermarkOrder;
    }
    param->pOEMUserData = ctx;
    return S_OK;
}

} // namespace cv
