// The stand-in host's side of Wine's real spooler: a printer driver whose files are real files
// (the plug-in DLL among the dependent files, the PPD as the data file), and printers using it.
//
// The driver is installed as a vendor's PostScript driver is: the rendering module as the
// driver path, the UI module as the configuration file, the model's PPD as the data file, the
// plug-in among the dependent files. Here the rendering and UI modules are small stand-ins built
// with the host (cvpsdrv.dll, cvpsdrvui.dll), each with a version resource like a real driver
// file; the UI module answers the spooler's own DEVMODE requests.
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
    // The driver's own modules. Empty: the stand-ins beside the running program. The same for
    // an empty pluginPath (cvpsui.dll beside the running program).
    std::wstring renderModulePath;      // the driver path
    std::wstring uiModulePath;          // the configuration file
};

// Installs (or replaces) the driver through AddPrinterDriverExW. Files are copied into the
// spooler's driver directory as a real installation does. Returns false with a reason.
// Wine's spooler neither reports a file it could not copy nor honours APD_COPY_NEW_FILES, so
// every installed copy is checked against its source afterwards, and a copy that is already
// identical is kept from being rewritten (another process may have it loaded).
bool InstallDriver(const DriverSetup& setup, std::wstring* error);
// Adds a printer of that driver (replacing one of the same name) and returns its name.
// Port "FILE:", print processor "winprint", data type "RAW".
bool AddPrinterFor(const std::wstring& printerName, const std::wstring& driverName,
                   std::wstring* error);
void DeletePrinterNamed(const std::wstring& printerName);
void DeleteDriverNamed(const std::wstring& driverName);

// The spooler's view, for the About page's checks and the events' tests.
bool ReadDriverInfo3(const std::wstring& printerName, std::vector<BYTE>* buffer);
std::wstring PrintProcessorOf(const std::wstring& printerName);

// The system's text for an error code ("Unknown printer driver" under Wine), without the
// trailing period and line break; "error <code>" when the system has none.
std::wstring SystemMessage(DWORD code);

// Full path of a file in the running program's directory.
std::wstring BesideProgram(const wchar_t* fileName);

// An open printer, closed at scope end.
class PrinterHandle {
  public:
    PrinterHandle() = default;
    // Opens with PRINTER_ALL_ACCESS; check with valid().
    explicit PrinterHandle(const std::wstring& printerName);
    PrinterHandle(const PrinterHandle&) = delete;
    PrinterHandle& operator=(const PrinterHandle&) = delete;
    ~PrinterHandle();
    bool valid() const { return handle_ != nullptr; }
    HANDLE get() const { return handle_; }

  private:
    HANDLE handle_ = nullptr;
};

} // namespace cvhost
