// The Create/Edit Watermark dialog (template 132): a stored watermark's name, text (plain or
// with dynamic variables), font, size, colour, style, intensity and angle, and through the
// Position Watermark dialog its place on the page, with a live preview. OK checks the entries,
// saves the record in the store of the sheet's printer and, for a renamed watermark, removes the
// old name.
#pragma once

#include "core/plugin_abi.h"
#include "core/records.h"

namespace cv {

struct SheetContext;

// Add mode: the dialog starts from the record's defaults with OK disabled. On OK (true) the new
// watermark is stored and *saved receives it as stored; Cancel, Esc and the close box store
// nothing (false). Nothing is shown for a sheet the dialogs cannot work with.
bool AddWatermark(HWND owner, const SheetContext* ctx, WatermarkSettings* saved);

// Edit mode on the watermark stored as `storedName`. On OK (true) the store holds the edited
// record under its name in *saved; when that name differs from `storedName` the old name has
// been removed (or, when the registry refused, the user was told that both are stored). Cancel
// changes nothing (false). A stored watermark that cannot be read is not opened: the user is told
// and the result is false.
bool EditWatermark(HWND owner, const SheetContext* ctx, const wchar_t* storedName,
                   WatermarkSettings* saved);

} // namespace cv
