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

namespace cvhost {

// Reads and parses a PPD file; the error names the file and, for a malformed one, the line.
bool LoadPpdFile(const std::wstring& path, PrinterModel* model, std::wstring* error);

class DriverUI {
  public:
    // Opens `printerName` and its model and loads the plug-in from `pluginPath`. Fails with a
    // one-line reason for an unknown printer, a driver without a readable PPD, or a plug-in that
    // does not load.
    static std::unique_ptr<DriverUI> Open(const std::wstring& printerName,
                                          const std::wstring& pluginPath, std::wstring* error);
    ~DriverUI();
    DriverUI(const DriverUI&) = delete;
    DriverUI& operator=(const DriverUI&) = delete;

    HANDLE Printer() const { return printer_; }
    const std::wstring& PrinterName() const { return printerName_; }
    const std::wstring& DriverName() const { return driverName_; }
    const std::wstring& DataFile() const { return dataFile_; }
    HostCoreUI& CoreUI() { return *coreUI_; }
    IPrintOemUI2* Plugin() const { return plugin_; }
    HMODULE PluginModule() const { return module_; }

  private:
    DriverUI() = default;
    bool LoadPlugin(const std::wstring& path, std::wstring* error);

    HANDLE printer_ = nullptr;
    std::wstring printerName_, driverName_, dataFile_;
    CoreUIPtr coreUI_;
    HMODULE module_ = nullptr;
    IPrintOemUI2* plugin_ = nullptr;
};

} // namespace cvhost
