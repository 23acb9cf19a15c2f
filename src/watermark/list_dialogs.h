// The three small list dialogs of the watermarks: Configure Dynamic Watermarks (101), opened
// from the Create/Edit dialog to build a text from variables; the edit-selection dialog (136)
// and the remove dialog (135), opened from the Watermark page.
#pragma once

#include "core/plugin_abi.h"
#include "watermark/list_dialog_rules.h"

namespace cv {

struct SheetContext;

// Shows Configure Dynamic Watermarks over `owner`, starting from `text`. On OK (true) `text`
// receives the text built (at most 127 characters); Cancel leaves it as it was (false).
bool ConfigureDynamicText(HWND owner, char16_t (&text)[kWatermarkNameCapacity]);

// Shows the stored watermarks of the sheet's printer for the user to choose the one to edit. On
// OK or a double click on a name (true) `name` receives the chosen name; Cancel, or OK with
// nothing chosen, leaves it as it was (false).
bool ChooseWatermarkToEdit(HWND owner, const SheetContext* ctx,
                           char16_t (&name)[kWatermarkNameCapacity]);

// Shows the stored watermarks of the sheet's printer; the user removes any of them, after a
// confirmation, until Close. The store is what changed: the caller reads it again afterwards.
void RemoveWatermarks(HWND owner, const SheetContext* ctx);

} // namespace cv
