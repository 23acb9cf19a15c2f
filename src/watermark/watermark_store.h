// The per-user, per-driver registry store of watermark definitions.
#pragma once

#include "core/plugin_abi.h"

namespace cv {

// Copies the default user's settings for the printer's driver to the current user when the
// current user has none. Returns true when something was copied.
bool MigrateDefaultUserSettings(HANDLE hPrinter);

// Writes the four standard watermarks into the store of `driverName` for the current user.
bool InstallDefaultWatermarks(const wchar_t* driverName);

} // namespace cv
