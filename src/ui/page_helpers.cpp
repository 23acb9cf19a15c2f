#include "ui/page_helpers.h"

#include "core/pages.h"
#include "core/sheet_context.h"

namespace cv {

SheetContext* KeepPageContext(HWND page, LPARAM pageRecord) {
    const auto* record = reinterpret_cast<const PROPSHEETPAGEW*>(pageRecord);
    auto* ctx = record ? reinterpret_cast<SheetContext*>(record->lParam) : nullptr;
    SetWindowLongPtrW(page, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(ctx));
    return ctx;
}

SheetContext* PageContext(HWND page) {
    return reinterpret_cast<SheetContext*>(GetWindowLongPtrW(page, GWLP_USERDATA));
}

void RemoveSheetHelpButton(HWND page) {
    HWND sheet = page ? GetParent(page) : nullptr;
    if (!sheet) return;
    const LONG_PTR exStyle = GetWindowLongPtrW(sheet, GWL_EXSTYLE);
    if (!(exStyle & WS_EX_CONTEXTHELP)) return;
    SetWindowLongPtrW(sheet, GWL_EXSTYLE, exStyle & ~static_cast<LONG_PTR>(WS_EX_CONTEXTHELP));
    // The caption is redrawn without the button.
    SendMessageW(sheet, WM_NCPAINT, 1, 0);
}

void DisableAllControls(HWND page) {
    if (!page) return;
    EnumChildWindows(
        page,
        [](HWND child, LPARAM) -> BOOL {
            EnableWindow(child, FALSE);
            return TRUE;
        },
        0);
}

INT_PTR CommonPageProc(HWND page, UINT msg, WPARAM, LPARAM lParam) {
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
