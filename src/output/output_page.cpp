// The Output Options page: held jobs and faxes. For now the page keeps its
// context and behaves as every page of the plug-in does when it is shown.
#include "core/pages.h"
#include "core/sheet_context.h"
#include "ui/page_helpers.h"

namespace cv {

INT_PTR CALLBACK OutputOptionsPageProc(HWND page, UINT msg, WPARAM, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG: {
        const SheetContext* ctx = KeepPageContext(page, lParam);
        if (ctx && ctx->readOnly) DisableAllControls(page);
        return TRUE;
    }
    case WM_NOTIFY:
        if (reinterpret_cast<const NMHDR*>(lParam)->code == PSN_SETACTIVE) {
            RemoveSheetHelpButton(page);
            SetWindowLongPtrW(page, DWLP_MSGRESULT, 0);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

} // namespace cv
