// Owners for the Win32 handles the shell opens, so that every path closes what it opened.
#pragma once

#include "core/plugin_abi.h"

#include <utility>

namespace cv {

// A registry key, closed at scope end. Predefined keys (HKEY_CURRENT_USER ...) are never owned.
class RegKey {
  public:
    RegKey() = default;
    explicit RegKey(HKEY key) : key_(key) {}
    RegKey(RegKey&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}
    RegKey& operator=(RegKey&& other) noexcept {
        if (this != &other) reset(std::exchange(other.key_, nullptr));
        return *this;
    }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    ~RegKey() { reset(); }

    // RegOpenKeyExW; false (and no key) on failure.
    bool Open(HKEY parent, const wchar_t* subKey, REGSAM access) {
        HKEY key = nullptr;
        reset(RegOpenKeyExW(parent, subKey, 0, access, &key) == ERROR_SUCCESS ? key : nullptr);
        return key_ != nullptr;
    }
    void reset(HKEY key = nullptr) {
        if (key_) RegCloseKey(key_);
        key_ = key;
    }
    HKEY get() const { return key_; }
    explicit operator bool() const { return key_ != nullptr; }

  private:
    HKEY key_ = nullptr;
};

// A printer opened with OpenPrinterW, closed at scope end.
class PrinterHandle {
  public:
    PrinterHandle() = default;
    PrinterHandle(const PrinterHandle&) = delete;
    PrinterHandle& operator=(const PrinterHandle&) = delete;
    ~PrinterHandle() { reset(); }

    // OpenPrinterW with no data type and no devmode; a null or empty name opens nothing (the
    // spooler would open the print server instead).
    bool Open(const wchar_t* printerName, ACCESS_MASK access) {
        reset();
        if (!printerName || !*printerName) return false;
        PRINTER_DEFAULTSW defaults{nullptr, nullptr, access};
        HANDLE handle = nullptr;
        if (OpenPrinterW(const_cast<wchar_t*>(printerName), &handle, &defaults)) handle_ = handle;
        return handle_ != nullptr;
    }
    void reset() {
        if (handle_) ClosePrinter(handle_);
        handle_ = nullptr;
    }
    HANDLE get() const { return handle_; }

  private:
    HANDLE handle_ = nullptr;
};

} // namespace cv
