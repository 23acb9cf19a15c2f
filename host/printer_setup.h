// Printers of a given model for the demo, the screenshots, the tests and the benchmarks: the
// model's PPD becomes the data file of a driver installed through the spooler (host/spooler.h),
// with the plug-in among its dependent files.
#pragma once

#include "host/ppd.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace cvhost {

// The demo model (host/models/corvane-cv9200.ppd) and its printer.
extern const wchar_t kDemoPrinterName[]; // "Corvane CV-9200 PS"

struct ModelPrinter {
    std::wstring printerName; // empty: the PPD's nickname, made valid for a printer name
    std::wstring driverName;  // empty: the same
    std::wstring ppdPath;
    std::wstring pluginPath; // empty: cvpsui.dll beside the running program
    // Filled in by SetUpModelPrinter: the model as read from ppdPath (for DriverUI::Open, so
    // that a run reads the PPD once), and one line for each defect the reader read past and for
    // a nickname that had to be changed to name the printer.
    std::shared_ptr<const PrinterModel> model;
    std::vector<std::wstring> warnings;
};

// Reads the PPD first, so that a bad file is reported before the spooler is touched, then
// installs the driver (with the files the PPD includes, beside it) and adds the printer. Fills
// in the names it chose.
bool SetUpModelPrinter(ModelPrinter* printer, std::wstring* error);

// The demo printer from the PPD built into the host (written to a temporary directory first).
bool SetUpDemoPrinter(ModelPrinter* printer, std::wstring* error);

// The plug-in configuration file that every driver the host installs lists among its dependent
// files: cvpsui.ini in `folder` (for the host: the build's driver folder, beside the stand-in
// driver modules), written when it is missing or wrong. Empty when it cannot be written.
std::wstring PluginConfigFile(const std::wstring& folder);

// Writes bytes to a file, replacing it.
bool WriteBytesToFile(const std::wstring& path, const std::string& bytes);

} // namespace cvhost
