// A printer of a driver of our own in Wine's spooler, for tests that need a real printer handle
// whose driver name is known. A stop-gap until the stand-in host's spooler set-up is shared with
// the tests.
#pragma once

#include "core/plugin_abi.h"

#include <string>

namespace cvtest {

class TestPrinter {
  public:
    // Installs a driver and a printer named after `tag` and the process, so that tests running
    // side by side never share registry keys.
    explicit TestPrinter(const wchar_t* tag);
    ~TestPrinter();
    TestPrinter(const TestPrinter&) = delete;
    TestPrinter& operator=(const TestPrinter&) = delete;

    HANDLE handle() const { return handle_; }
    const std::wstring& driverName() const { return driverName_; }
    const std::wstring& printerName() const { return printerName_; }
    // "Software\Corvane\PSPlugIn\<driver>".
    std::wstring driverKeyPath() const;
    // Removes the driver key of this printer's driver for the current and the default user.
    void ClearRegistry() const;

  private:
    std::wstring driverName_;
    std::wstring printerName_;
    HANDLE handle_ = nullptr;
};

} // namespace cvtest
