// What the plug-in asks the spooler about a printer and its driver. GetPrinterW and
// GetPrinterDriverW answer in two calls (the size, then the data, whose strings point into the
// same buffer); every such question goes through here.
#pragma once

#include "core/plugin_abi.h"

#include <string>
#include <vector>

namespace cv {

// The printer's information at `level` (GetPrinterW) into `buffer`, which owns the strings the
// structure points to. Null when it cannot be read or is shorter than the level's structure.
const PRINTER_INFO_2W* ReadPrinterInfo2(HANDLE hPrinter, std::vector<BYTE>* buffer);

// The printer's driver information (GetPrinterDriverW, the current environment).
const DRIVER_INFO_2W* ReadDriverInfo2(HANDLE hPrinter, std::vector<BYTE>* buffer);
const DRIVER_INFO_3W* ReadDriverInfo3(HANDLE hPrinter, std::vector<BYTE>* buffer);

// The name of the printer's driver; empty when it cannot be read. Level 1 of GetPrinterDriverW
// names it with the least work the spooler can do.
std::wstring PrinterDriverName(HANDLE hPrinter);

} // namespace cv
