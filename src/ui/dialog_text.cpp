#include "ui/dialog_text.h"

#include "ui/bounded_string.h"
#include "ui/scoped_handles.h"

#include <vector>

namespace cv {

void SetControlText(HWND dialog, int id, const char16_t* text, size_t capacity) {
    HWND control = GetDlgItem(dialog, id);
    if (!control) return;
    // What a bounded copy into an array of the same size would hold: an unterminated text loses
    // its last unit to the terminator.
    const size_t length = capacity ? BoundedLength(text, capacity - 1) : 0;
    std::u16string terminated(text ? text : u"", length);
    SetWindowTextW(control, AsWide(terminated.c_str()));
}

bool ReadControlText(HWND dialog, int id, std::u16string* text) {
    HWND control = GetDlgItem(dialog, id);
    if (!control || !text) return false;
    const int length = GetWindowTextLengthW(control);
    std::vector<wchar_t> buffer(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    const int read = GetWindowTextW(control, buffer.data(), static_cast<int>(buffer.size()));
    text->assign(reinterpret_cast<const char16_t*>(buffer.data()),
                 static_cast<size_t>(read > 0 ? read : 0));
    return true;
}

bool IsChecked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void SetChecked(HWND dialog, int id, bool checked) {
    CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

void EnableControl(HWND dialog, int id, bool enable) {
    if (HWND control = GetDlgItem(dialog, id)) EnableWindow(control, enable ? TRUE : FALSE);
}

void ShowControl(HWND dialog, int id, bool show) {
    if (HWND control = GetDlgItem(dialog, id)) ShowWindow(control, show ? SW_SHOW : SW_HIDE);
}

void LimitControlText(HWND dialog, int id, size_t characters) {
    SendDlgItemMessageW(dialog, id, EM_LIMITTEXT, characters, 0);
}

bool ShowErrorMessage(HWND owner, UINT id) {
    const std::wstring text = LoadText(id);
    if (text.empty()) return false;
    MessageBoxW(owner, text.c_str(), nullptr, MB_OK | MB_ICONERROR);
    return true;
}

int ListNameExtent(HWND list, size_t characters) {
    ScopedWindowDC dc(list);
    if (!dc.get()) return 0;
    const auto font = reinterpret_cast<HGDIOBJ>(SendMessageW(list, WM_GETFONT, 0, 0));
    ScopedSelect selected(dc.get(), font);
    TEXTMETRICW metrics{};
    if (!GetTextMetricsW(dc.get(), &metrics)) return 0;
    return metrics.tmMaxCharWidth * static_cast<int>(characters);
}

} // namespace cv
