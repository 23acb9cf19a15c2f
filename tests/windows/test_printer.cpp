#include "test_printer.h"

#include "support.h"

#include <gtest/gtest.h>

namespace cvtest {

TestPrinter::TestPrinter(const wchar_t* tag) {
    const std::wstring suffix = std::wstring(tag) + L" " + std::to_wstring(GetCurrentProcessId());
    driverName_ = L"CV Test Driver " + suffix;
    printerName_ = L"CV Test Printer " + suffix;

    // Any real files serve: the spooler only copies them.
    std::wstring file = BesideExe(L"cvpsui.dll");
    DRIVER_INFO_3W driver{};
    driver.cVersion = 3;
    driver.pName = driverName_.data();
    driver.pDriverPath = file.data();
    driver.pConfigFile = file.data();
    driver.pDataFile = file.data();
    if (!AddPrinterDriverExW(nullptr, 3, reinterpret_cast<BYTE*>(&driver), APD_COPY_NEW_FILES)) {
        ADD_FAILURE() << "AddPrinterDriverExW failed: " << GetLastError();
        return;
    }
    std::wstring port = L"FILE:", processor = L"winprint", datatype = L"RAW";
    PRINTER_INFO_2W printer{};
    printer.pPrinterName = printerName_.data();
    printer.pPortName = port.data();
    printer.pDriverName = driverName_.data();
    printer.pPrintProcessor = processor.data();
    printer.pDatatype = datatype.data();
    handle_ = AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&printer));
    if (!handle_) ADD_FAILURE() << "AddPrinterW failed: " << GetLastError();
    ClearRegistry();
}

TestPrinter::~TestPrinter() {
    ClearRegistry();
    if (handle_) {
        DeletePrinter(handle_);
        ClosePrinter(handle_);
    }
    DeletePrinterDriverW(nullptr, nullptr, driverName_.data());
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
