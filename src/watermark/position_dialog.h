// The Position Watermark dialog (template 221): the anchor of the watermark on the page, its two
// offsets and their units, with a preview of its own. Opened from the Create/Edit dialog.
#pragma once

#include "core/plugin_abi.h"
#include "core/records.h"
#include "watermark/position_rules.h"

namespace cv {

struct SheetContext;

// Shows the dialog modally over `owner` for `work`, the watermark as the editor's controls
// describe it: the dialog starts from its position fields and its preview shows the rest of it.
// On OK (true) *chosen receives the anchor, offsets and units; Cancel, Esc and the close box
// leave *chosen as it was (false). Nothing is shown for a sheet the dialogs cannot work with.
bool ChooseWatermarkPosition(HWND owner, const SheetContext* ctx, const WatermarkSettings& work,
                             PositionValues* chosen);

} // namespace cv
