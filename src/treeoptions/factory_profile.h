// The tree's one use of the personal profiles: when the driver's tree page becomes active, a
// printer whose profiles have no "Factory Defaults" profile gets one, saved from the driver's
// items and the sheet's working devmode. The profile store provides it.
#pragma once

#include "core/plugin_abi.h"

#include <cstddef>

namespace cv {

struct SheetContext;

// `ctx` may be null (no context could be made: there is no working devmode to save then);
// `driverItems` are the `count` items of the driver's tree.
void EnsureFactoryProfile(SheetContext* ctx, const OPTITEM* driverItems, size_t count,
                          HANDLE hPrinter);

} // namespace cv
