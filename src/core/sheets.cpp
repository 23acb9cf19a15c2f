#include "core/sheets.h"

#include "core/plugin_object.h"

namespace cv {

// The pages arrive with the stand-in host; until then both sheets answer the protocol's
// reasons without adding pages.
static void AnswerReason(PPROPSHEETUI_INFO info, LPARAM lParam) {
    switch (info->Reason) {
    case PROPSHEETUI_REASON_INIT:
    case PROPSHEETUI_REASON_GET_INFO_HEADER:
        info->Result = 1;
        break;
    case PROPSHEETUI_REASON_SET_RESULT:
        info->Result = lParam ? reinterpret_cast<PSETRESULT_INFO>(lParam)->Result : 0;
        break;
    case PROPSHEETUI_REASON_DESTROY:
        info->Result = 1;
        break;
    default:
        info->Result = 0;
        break;
    }
}

void DocumentSheets(PluginObject*, PPROPSHEETUI_INFO info, LPARAM lParam) {
    AnswerReason(info, lParam);
}

void DeviceSheets(PluginObject*, PPROPSHEETUI_INFO info, LPARAM lParam) {
    AnswerReason(info, lParam);
}

} // namespace cv
