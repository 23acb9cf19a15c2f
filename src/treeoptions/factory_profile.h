// The tree's one use of the personal profiles: when the driver's tree page becomes active, a
// printer whose profiles have no "Factory Defaults" profile gets one, saved from the driver's
// items and the sheet's working devmode. The profile store provides it.
#pragma once

#include "core/plugin_abi.h"

namespace cv {

struct SheetContext;

// `ctx` may be null (no context could be made); `driverItems` are the driver's tree items.
void EnsureFactoryProfile(SheetContext* ctx, POPTITEM driverItems, HANDLE hPrinter);

} // namespace cv
