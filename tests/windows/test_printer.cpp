#include "test_printer.h"

#include "host/printer_setup.h"
#include "host/spooler.h"
#include "support.h"

#include <gtest/gtest.h>

namespace cvtest {

TestPrinter::TestPrinter(const wchar_t* tag) {
    const std::wstring suffix = std::wstring(tag) + L" " + std::to_wstring(GetCurrentProcessId());
    driverName_ = L"CV Test Driver " + suffix;
    printerName_ = L"CV Test Printer " + suffix;

    // Installed as the stand-in host installs a driver: Wine's spooler loads the configuration
    // file of a new printer's driver for its default devmode, so it must be a real UI module.
    // Its printer device contexts draw through Wine's PostScript driver, which reads the PPD.
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, temp);
    cvhost::DriverSetup setup;
    setup.driverName = driverName_;
    ppdPath_ = std::wstring(temp) + L"cvstore " + suffix + L".ppd";
    setup.ppdPath = ppdPath_;
    const std::string ppd = "*PPD-Adobe: \"4.3\"\r\n*FormatVersion: \"4.3\"\r\n"
                            "*LanguageVersion: English\r\n*Manufacturer: \"Corvane\"\r\n"
                            "*ModelName: \"Corvane Store Test\"\r\n"
                            "*NickName: \"Corvane Store Test\"\r\n*ColorDevice: True\r\n";
    if (!cvhost::WriteBytesToFile(setup.ppdPath, ppd)) {
        ADD_FAILURE() << "cannot write the test PPD";
        return;
    }
    std::wstring why;
    if (!cvhost::InstallDriver(setup, &why) || !cvhost::AddPrinterFor(printerName_, driverName_, &why)) {
        ADD_FAILURE() << "printer set-up failed: " << std::string(why.begin(), why.end());
        return;
    }
    if (!OpenPrinterW(printerName_.data(), &handle_, nullptr)) {
        handle_ = nullptr;
        ADD_FAILURE() << "OpenPrinterW failed: " << GetLastError();
    }
    ClearRegistry();
}

TestPrinter::~TestPrinter() {
    ClearRegistry();
    if (handle_) ClosePrinter(handle_);
    cvhost::DeletePrinterNamed(printerName_);
    cvhost::DeleteDriverNamed(driverName_);
    if (!ppdPath_.empty()) DeleteFileW(ppdPath_.c_str());
}

std::wstring TestPrinter::driverKeyPath() const {
    return L"Software\\Corvane\\PSPlugIn\\" + driverName_;
}

void TestPrinter::ClearRegistry() const {
    RegDeleteTreeW(HKEY_CURRENT_USER, driverKeyPath().c_str());
    HKEY defaultUser = nullptr;
    if (RegOpenKeyExW(HKEY_USERS, L".DEFAULT", 0, KEY_ALL_ACCESS, &defaultUser) == ERROR_SUCCESS) {
        RegDeleteTreeW(defaultUser, driverKeyPath().c_str());
        RegCloseKey(defaultUser);
    }
}

} // namespace cvtest
