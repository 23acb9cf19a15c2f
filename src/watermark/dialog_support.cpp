#include "watermark/dialog_support.h"

#include "core/sheet_context.h"
#include "ui/dialog_text.h"
#include "ui/strings.h"
#include "watermark/watermark_resource.h"

namespace cv {

bool WatermarkDialogsUsable(const SheetContext* ctx) {
    return ctx && ctx->uiParam && ctx->uiParam->hPrinter && ctx->uiParam->pPublicDM &&
           ctx->uiParam->pOEMDM && ctx->coreUI;
}

std::u16string ControlText(HWND dialog, int id) {
    std::u16string text;
    ReadControlText(dialog, id, &text);
    return text;
}

std::u16string WindowString(HWND control) {
    std::u16string text;
    const int length = control ? GetWindowTextLengthW(control) : 0;
    if (length <= 0) return text;
    text.resize(static_cast<size_t>(length) + 1);
    const int read = GetWindowTextW(control, reinterpret_cast<wchar_t*>(&text[0]), length + 1);
    text.resize(static_cast<size_t>(read > 0 ? read : 0));
    return text;
}

bool ButtonChecked(HWND button) {
    return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void SetControlString(HWND dialog, int id, const char16_t* text) {
    if (HWND control = GetDlgItem(dialog, id)) SetWindowTextW(control, AsWide(text ? text : u""));
}

void ShowWatermarkMessage(HWND owner, UINT id, bool warning) {
    if (!warning) {
        ShowErrorMessage(owner, id);
        return;
    }
    const std::wstring text = LoadText(id);
    if (text.empty()) return;
    const std::wstring caption = LoadText(IDS_WM_WARNING);
    MessageBoxW(owner, text.c_str(), caption.empty() ? nullptr : caption.c_str(),
                MB_OK | MB_ICONWARNING);
}

void FocusControl(HWND dialog, int id) {
    if (HWND control = GetDlgItem(dialog, id))
        SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
}

} // namespace cv
