// The stand-in host's side of Wine's real spooler: a printer driver whose files are real files
// (the plug-in DLL among the dependent files, the PPD as the data file), and printers using it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace cvhost {

struct DriverSetup {
    std::wstring driverName;            // e.g. L"Corvane CV-9200 PS"
    std::wstring ppdPath;               // the model's PPD: becomes the driver's data file
    std::wstring pluginPath;            // cvpsui.dll to list among the dependent files
    std::vector<std::wstring> extraDependentFiles; // more files, each copied with the driver
    bool withDataFile = true;           // false: a driver without data-file name
};

// Installs (or replaces) the driver through AddPrinterDriverExW. Files are copied into the
// spooler's driver directory as a real installation does. Returns false with a reason.
bool InstallDriver(const DriverSetup& setup, std::wstring* error);
// Adds a printer of that driver (replacing one of the same name) and returns its name.
bool AddPrinterFor(const std::wstring& printerName, const std::wstring& driverName,
                   std::wstring* error);
void DeletePrinterNamed(const std::wstring& printerName);
void DeleteDriverNamed(const std::wstring& driverName);

// The spooler's view, for the About page's checks and the events' tests.
bool ReadDriverInfo3(const std::wstring& printerName, std::vector<BYTE>* buffer);
std::wstring PrintProcessorOf(const std::wstring& printerName);

} // namespace cvhost
