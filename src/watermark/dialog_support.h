// What the watermark dialogs share: whether a sheet is whole enough to edit the store of its
// printer, and moving text between their controls and the fixed 128-unit names and texts.
#pragma once

#include "core/plugin_abi.h"

#include <cstddef>
#include <string>

namespace cv {

struct SheetContext;

// The dialogs read and write the store of the sheet's printer: they open only for a sheet that
// has its parameter block with a printer, both devmodes and the core driver. (A dialog shown
// without them could do nothing but be cancelled.)
bool WatermarkDialogsUsable(const SheetContext* ctx);

// A control's whole text (empty when the control is missing), for rules that cut it themselves.
std::u16string ControlText(HWND dialog, int id);

// The same for a control whose handle the dialog keeps (under Wine every GetDlgItem is a round
// trip to the wineserver; a dialog that reads its controls at each repaint keeps their handles).
std::u16string WindowString(HWND control);
bool ButtonChecked(HWND button);

// Sets a control's text from a terminated UTF-16 text.
void SetControlString(HWND dialog, int id, const char16_t* text);

// A message from the string table over `owner`: no caption and the error icon for a refusal;
// caption "Warning" (string 149) and the warning icon for a notice. Nothing is shown when the
// text cannot be loaded.
void ShowWatermarkMessage(HWND owner, UINT id, bool warning = false);

// Moves the focus to a control of the dialog (WM_NEXTDLGCTL, so the dialog's default button and
// the edit's selection follow as they do for the keyboard).
void FocusControl(HWND dialog, int id);

} // namespace cv
