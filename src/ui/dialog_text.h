// Moving text between the plug-in's records (char16_t arrays that may lack a terminator) and
// dialog controls, control states, and the error message of a page or dialog.
#pragma once

#include "core/plugin_abi.h"
#include "ui/strings.h"

#include <cstddef>
#include <string>

namespace cv {

inline const wchar_t* AsWide(const char16_t* text) {
    return reinterpret_cast<const wchar_t*>(text);
}

// Sets a control's text from an array of `capacity` units, never reading past it; a text without
// terminator shows its first capacity - 1 units, as the array's bounded copy would hold them.
void SetControlText(HWND dialog, int id, const char16_t* text, size_t capacity);
template <size_t N> void SetControlText(HWND dialog, int id, const char16_t (&text)[N]) {
    SetControlText(dialog, id, text, N);
}

// The whole text of a control, however long; false (and nothing read) when the control is
// missing. Callers cut it to their field.
bool ReadControlText(HWND dialog, int id, std::u16string* text);

bool IsChecked(HWND dialog, int id);
void SetChecked(HWND dialog, int id, bool checked);
void EnableControl(HWND dialog, int id, bool enable);
void ShowControl(HWND dialog, int id, bool show);
void LimitControlText(HWND dialog, int id, size_t characters);
// The horizontal extent a list box needs to scroll to the end of a name of that many characters
// in its own font (as wide as its widest character each); 0 when the font cannot be measured.
int ListNameExtent(HWND list, size_t characters);

// The error message of string `id` over `owner` (no caption, error icon). False when the text
// cannot be loaded, and then nothing is shown.
bool ShowErrorMessage(HWND owner, UINT id);

} // namespace cv
