// Printers of a given model for the demo, the screenshots, the tests and the benchmarks: the
// model's PPD becomes the data file of a driver installed through the spooler (host/spooler.h),
// with the plug-in among its dependent files.
#pragma once

#include <windows.h>

#include <string>

namespace cvhost {

// The demo model (host/models/corvane-cv9200.ppd) and its printer.
extern const wchar_t kDemoPrinterName[]; // "Corvane CV-9200 PS"

struct ModelPrinter {
    std::wstring printerName; // empty: the PPD's nickname
    std::wstring driverName;  // empty: the PPD's nickname
    std::wstring ppdPath;
    std::wstring pluginPath; // empty: cvpsui.dll beside the running program
};

// Checks the PPD first, so that a bad file is reported before the spooler is touched, then
// installs the driver and adds the printer. Fills in the names it chose.
bool SetUpModelPrinter(ModelPrinter* printer, std::wstring* error);

// The demo printer from the PPD built into the host (written to a temporary directory first).
bool SetUpDemoPrinter(std::wstring* printerName, std::wstring* error);

// Writes bytes to a file, replacing it.
bool WriteBytesToFile(const std::wstring& path, const std::string& bytes);

} // namespace cvhost
