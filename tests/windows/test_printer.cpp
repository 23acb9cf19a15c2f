#include "test_printer.h"

#include <gtest/gtest.h>

namespace cvtest {

static std::wstring UniqueTag(const wchar_t* tag) {
    return std::wstring(tag) + L" " + std::to_wstring(GetCurrentProcessId());
}

RegistryPrinter::RegistryPrinter(const wchar_t* tag) : printer_(UniqueTag(tag)) {
    if (!printer_.ok()) {
        ADD_FAILURE() << "printer set-up failed: " << printer_.error;
        return;
    }
    std::wstring name = printer_.printerName;
    if (!OpenPrinterW(name.data(), &handle_, nullptr)) {
        ADD_FAILURE() << "OpenPrinterW failed: " << GetLastError();
        handle_ = nullptr;
    }
    ClearRegistry();
}

RegistryPrinter::~RegistryPrinter() {
    ClearRegistry();
    if (handle_) ClosePrinter(handle_);
}

std::wstring RegistryPrinter::driverKeyPath() const {
    return L"Software\\Corvane\\PSPlugIn\\" + printer_.driverName;
}

void RegistryPrinter::ClearRegistry() const {
    RegDeleteTreeW(HKEY_CURRENT_USER, driverKeyPath().c_str());
    HKEY defaultUser = nullptr;
    if (RegOpenKeyExW(HKEY_USERS, L".DEFAULT", 0, KEY_ALL_ACCESS, &defaultUser) == ERROR_SUCCESS) {
        RegDeleteTreeW(defaultUser, driverKeyPath().c_str());
        RegCloseKey(defaultUser);
    }
}

} // namespace cvtest
