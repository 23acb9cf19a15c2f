// A printer of its own with an open handle and a clean per-driver registry tree, for tests of
// the registry store and of everything that asks the spooler about a printer's driver.
#pragma once

#include "printer_fixture.h"

#include <string>

namespace cvtest {

class RegistryPrinter {
  public:
    // Installs a driver and a printer named after `tag` and the process, so that tests running
    // side by side never share registry keys.
    explicit RegistryPrinter(const wchar_t* tag);
    ~RegistryPrinter();
    RegistryPrinter(const RegistryPrinter&) = delete;
    RegistryPrinter& operator=(const RegistryPrinter&) = delete;

    HANDLE handle() const { return handle_; }
    const std::wstring& driverName() const { return printer_.driverName; }
    const std::wstring& printerName() const { return printer_.printerName; }
    // "Software\Corvane\PSPlugIn\<driver>".
    std::wstring driverKeyPath() const;
    // Removes the driver key of this printer's driver for the current and the default user.
    void ClearRegistry() const;

  private:
    TestPrinter printer_;
    HANDLE handle_ = nullptr;
};

} // namespace cvtest
