// The two values the Output Options page remembers per user and printer driver, under the
// driver key: "LastUserName" (REG_SZ) and "FaxInfo" (REG_BINARY, one FaxSettings record).
// Failures are silent (false): the page falls back to the devmode's or the system's values.
#pragma once

#include "core/plugin_abi.h"
#include "core/records.h"

#include <cstddef>

namespace cv {

// `capacity` (units) must hold at least 25; the name is terminated on success.
bool ReadLastUserName(HANDLE hPrinter, char16_t* buffer, size_t capacity);
// Only names of 1 to 24 characters are written.
bool WriteLastUserName(HANDLE hPrinter, const char16_t* name);

// Fills `fax` only on success: stored bytes over the defaults, then repaired.
bool ReadFaxInfo(HANDLE hPrinter, FaxSettings* fax);
bool WriteFaxInfo(HANDLE hPrinter, const FaxSettings* fax);

} // namespace cv
