// Helpers of the Output Options page (its procedure is OutputOptionsPageProc in core/subsystems.h).
#pragma once

#include "core/plugin_abi.h"

#include <cstdint>

namespace cv {

// Item data (the OutputDestination code) of the list's selection; Printer (0) without one.
uint32_t GetSelectedDestination(HWND list);
// Shows or hides the whole Fax Information set.
void ShowFaxControls(HWND page, bool show);
// Enables the set when fax is the destination; Setup Cover Page only when a cover is sent too.
void EnableFaxControls(HWND page, bool faxSelected, bool coverChecked);

} // namespace cv
