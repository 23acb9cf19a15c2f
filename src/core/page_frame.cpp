#include "core/page_frame.h"

#include "core/sheet_context.h"

namespace cv {

namespace {
constexpr const wchar_t* kFillingProp = L"CvFilling";
}

void KeepWindowData(HWND window, const void* data) {
    SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(data));
}

SheetContext* KeepPageContext(HWND page, LPARAM pageRecord) {
    const auto* record = reinterpret_cast<const PROPSHEETPAGEW*>(pageRecord);
    auto* ctx = record ? reinterpret_cast<SheetContext*>(record->lParam) : nullptr;
    KeepWindowData(page, ctx);
    return ctx;
}

SheetContext* PageContext(HWND page) {
    return WindowData<SheetContext>(page);
}

void MarkChanged(HWND page) {
    SendMessageW(GetParent(page), PSM_CHANGED, WPARAM(page), 0);
}

void SetResult(HWND window, LONG_PTR result) {
    SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
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

// Nested guards (a fill that calls another fill) leave the mark to the outermost one.
FillingGuard::FillingGuard(HWND window) : window_(window), outermost_(!Filling(window)) {
    if (outermost_) SetPropW(window_, kFillingProp, reinterpret_cast<HANDLE>(1));
}

FillingGuard::~FillingGuard() {
    if (outermost_) RemovePropW(window_, kFillingProp);
}

bool Filling(HWND window) {
    return GetPropW(window, kFillingProp) != nullptr;
}

INT_PTR CommonPageProc(HWND page, UINT msg, WPARAM, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG: {
        const SheetContext* ctx = KeepPageContext(page, lParam);
        if (ctx && ctx->readOnly) DisableAllControls(page);
        return TRUE;
    }
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (!header) return FALSE;
        switch (header->code) {
        case PSN_SETACTIVE:
            RemoveSheetHelpButton(page);
            SetResult(page, 0);
            return TRUE;
        case PSN_KILLACTIVE:
            SetResult(page, FALSE);
            return TRUE;
        case PSN_APPLY:
            SetResult(page, PSNRET_NOERROR);
            return TRUE;
        default:
            return FALSE;
        }
    }
    default:
        return FALSE;
    }
}

} // namespace cv
