// The stand-in for the PostScript driver's UI module, one per printer: it opens the printer,
// reads the model from the driver's data file (the PPD), publishes its IPrintCoreUI2 and loads
// the plug-in exactly as the driver does (LoadLibraryW, DllGetClassObject, CreateInstance,
// PublishDriverInterface).
#pragma once

#include "core/plugin_abi.h"
#include "host/core_ui.h"
#include "host/ppd.h"

#include <memory>
#include <string>
#include <vector>

namespace cvhost {

// The largest PPD file (and included file) the host reads.
constexpr DWORD kMaxPpdBytes = 16u << 20;

// Reads and parses a PPD file and the files it names with *Include (resolved against the folder
// of the file that names them, or found there by file name, as a driver installs them). The
// error names the file and, for a malformed one, the line; `warnings` gets one line for each
// defect the reader read past ("<file>: line <n>: <what>").
bool LoadPpdFile(const std::wstring& path, PrinterModel* model, std::wstring* error,
                 std::vector<std::wstring>* warnings = nullptr);

// The files a model read through *Include, as paths (LoadPpdFile names them so).
std::vector<std::wstring> IncludedFilePaths(const PrinterModel& model);

class DriverUI {
  public:
    // Opens `printerName` and its model and loads the plug-in from `pluginPath`. Fails with a
    // one-line reason for an unknown printer, a driver without a readable PPD, or a plug-in that
    // does not load. `model` is the model of the driver's data file when the caller has just
    // read it (a printer it set up), so that a run reads and parses the PPD once; without it the
    // model is read from the data file, and Warnings() says what the reader read past.
    static std::unique_ptr<DriverUI> Open(const std::wstring& printerName,
                                          const std::wstring& pluginPath, std::wstring* error,
                                          std::shared_ptr<const PrinterModel> model = nullptr);
    ~DriverUI();
    DriverUI(const DriverUI&) = delete;
    DriverUI& operator=(const DriverUI&) = delete;

    HANDLE Printer() const { return printer_; }
    const std::wstring& PrinterName() const { return printerName_; }
    const std::wstring& DriverName() const { return driverName_; }
    const std::wstring& DataFile() const { return dataFile_; }
    // The driver's UI module as the spooler installed it (its string table names the entries
    // of some of the driver's items).
    const std::wstring& ConfigFile() const { return configFile_; }
    const std::vector<std::wstring>& Warnings() const { return warnings_; }
    HostCoreUI& CoreUI() { return *coreUI_; }
    IPrintOemUI2* Plugin() const { return plugin_; }
    HMODULE PluginModule() const { return module_; }

    // What the Windows spooler does once a driver is installed: the driver's DrvDriverEvent
    // (DRIVER_EVENT_INITIALIZE, its DRIVER_INFO_3) reaches the plug-in's DriverEvent, which sets
    // up the installing user (the default watermarks). Wine's spooler never makes that call for
    // the drivers the host installs; the host makes it after setting one up.
    bool SendDriverInstalled();

  private:
    DriverUI() = default;
    bool LoadPlugin(const std::wstring& path, std::wstring* error);

    HANDLE printer_ = nullptr;
    std::wstring printerName_, driverName_, dataFile_, configFile_;
    std::vector<std::wstring> warnings_;
    CoreUIPtr coreUI_;
    HMODULE module_ = nullptr;
    IPrintOemUI2* plugin_ = nullptr;
};

} // namespace cvhost
