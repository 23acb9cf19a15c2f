// Owners for the Win32 handles the shell opens: each closes what it holds when it goes out of
// scope, so that every early return of an operation leaves nothing open.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <winspool.h>

namespace cv {

// A registry key; predefined roots (HKEY_CURRENT_USER...) are never put into one.
class ScopedKey {
  public:
    ScopedKey() = default;
    explicit ScopedKey(HKEY key) : key_(key) {}
    ScopedKey(const ScopedKey&) = delete;
    ScopedKey& operator=(const ScopedKey&) = delete;
    ScopedKey(ScopedKey&& other) noexcept : key_(other.release()) {}
    ScopedKey& operator=(ScopedKey&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~ScopedKey() { reset(); }

    // RegOpenKeyExW; false (and no key) on failure.
    bool Open(HKEY parent, const wchar_t* subKey, REGSAM access) {
        HKEY key = nullptr;
        reset(RegOpenKeyExW(parent, subKey, 0, access, &key) == ERROR_SUCCESS ? key : nullptr);
        return key_ != nullptr;
    }
    // RegCreateKeyExW (non-volatile, no class, default security): opens the key, creating it
    // when missing. False (and no key) on failure.
    bool Create(HKEY parent, const wchar_t* subKey, REGSAM access, DWORD* disposition = nullptr) {
        HKEY key = nullptr;
        const LONG rc = RegCreateKeyExW(parent, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                        access, nullptr, &key, disposition);
        reset(rc == ERROR_SUCCESS ? key : nullptr);
        return key_ != nullptr;
    }
    HKEY get() const { return key_; }
    explicit operator bool() const { return key_ != nullptr; }
    // For the out-parameter of RegOpenKeyExW and RegCreateKeyExW; closes what was held.
    HKEY* put() {
        reset();
        return &key_;
    }
    HKEY release() {
        HKEY key = key_;
        key_ = nullptr;
        return key;
    }
    void reset(HKEY key = nullptr) {
        if (key_) RegCloseKey(key_);
        key_ = key;
    }

  private:
    HKEY key_ = nullptr;
};

// A GDI object this code created (font, pen, bitmap, region); deleted at scope end.
template <typename T> class ScopedGdiObject {
  public:
    ScopedGdiObject() = default;
    explicit ScopedGdiObject(T object) : object_(object) {}
    ScopedGdiObject(const ScopedGdiObject&) = delete;
    ScopedGdiObject& operator=(const ScopedGdiObject&) = delete;
    ~ScopedGdiObject() { reset(); }

    T get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    void reset(T object = nullptr) {
        if (object_) DeleteObject(object_);
        object_ = object;
    }

  private:
    T object_ = nullptr;
};

// Selects an object into a device context and puts the previous one back at scope end (before
// the object itself is deleted, when both live in the same scope in the usual order).
class ScopedSelect {
  public:
    ScopedSelect(HDC dc, HGDIOBJ object)
        : dc_(dc), previous_(object ? SelectObject(dc, object) : nullptr) {}
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;
    ~ScopedSelect() {
        if (ok()) SelectObject(dc_, previous_);
    }
    bool ok() const { return previous_ != nullptr && previous_ != HGDI_ERROR; }

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A window's device context from GetDC, released to that window.
class ScopedWindowDC {
  public:
    explicit ScopedWindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ScopedWindowDC(const ScopedWindowDC&) = delete;
    ScopedWindowDC& operator=(const ScopedWindowDC&) = delete;
    ~ScopedWindowDC() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    HDC get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

// A device context from CreateDCW or CreateCompatibleDC, deleted at scope end.
class ScopedCreatedDC {
  public:
    explicit ScopedCreatedDC(HDC dc) : dc_(dc) {}
    ScopedCreatedDC(const ScopedCreatedDC&) = delete;
    ScopedCreatedDC& operator=(const ScopedCreatedDC&) = delete;
    ~ScopedCreatedDC() {
        if (dc_) DeleteDC(dc_);
    }
    HDC get() const { return dc_; }

  private:
    HDC dc_;
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
