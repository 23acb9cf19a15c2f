#include "watermark/driver_key.h"

#include "ui/scoped_handles.h"

#include <new>

namespace cv {

std::wstring DriverKeyPath(const wchar_t* driverName) {
    if (!driverName || !*driverName) return {};
    try {
        std::wstring path = kPluginRegistryRoot;
        path += L'\\';
        path += driverName;
        return path;
    } catch (const std::bad_alloc&) {
        return {};
    }
}

const PRINTER_INFO_2W* ReadPrinterInfo2(HANDLE hPrinter, std::vector<BYTE>* buffer) {
    if (!hPrinter || !buffer) return nullptr;
    try {
        // The printer can change between the two calls; a second size question settles it.
        for (int attempt = 0; attempt < 2; ++attempt) {
            DWORD needed = 0;
            if (GetPrinterW(hPrinter, 2, nullptr, 0, &needed)) return nullptr;
            if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed < sizeof(PRINTER_INFO_2W))
                return nullptr;
            buffer->assign(needed, 0);
            if (GetPrinterW(hPrinter, 2, buffer->data(), needed, &needed))
                return reinterpret_cast<const PRINTER_INFO_2W*>(buffer->data());
            if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return nullptr;
        }
    } catch (const std::bad_alloc&) {
    }
    return nullptr;
}

std::wstring DriverKeyPath(HANDLE hPrinter) {
    std::vector<BYTE> buffer;
    const PRINTER_INFO_2W* info = ReadPrinterInfo2(hPrinter, &buffer);
    return info ? DriverKeyPath(info->pDriverName) : std::wstring();
}

namespace {

bool OpenUnderCurrentUser(HANDLE hPrinter, REGSAM access, HKEY* key) {
    if (!key) return false;
    *key = nullptr;
    if (!hPrinter) return false;
    const std::wstring path = DriverKeyPath(hPrinter);
    if (path.empty()) return false;
    return RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, access, key) == ERROR_SUCCESS;
}

// "Watermarks" under an open driver key, which is closed again whatever happens.
bool OpenWatermarksUnder(ScopedKey driverKey, bool create, HKEY* key) {
    LONG rc;
    if (create)
        rc = RegCreateKeyExW(driverKey.get(), L"Watermarks", 0, nullptr, REG_OPTION_NON_VOLATILE,
                             KEY_WRITE, nullptr, key, nullptr);
    else
        rc = RegOpenKeyExW(driverKey.get(), L"Watermarks", 0, KEY_READ, key);
    if (rc != ERROR_SUCCESS) *key = nullptr;
    return rc == ERROR_SUCCESS;
}

} // namespace

bool OpenDriverKeyRead(HANDLE hPrinter, HKEY* key) {
    return OpenUnderCurrentUser(hPrinter, KEY_READ, key);
}

bool OpenDriverKeyWrite(HANDLE hPrinter, HKEY* key) {
    return OpenUnderCurrentUser(hPrinter, KEY_WRITE, key);
}

bool CreateDriverKey(HANDLE hPrinter, HKEY* key, DWORD* disposition) {
    if (!key) return false;
    *key = nullptr;
    if (!hPrinter) return false;
    const std::wstring path = DriverKeyPath(hPrinter);
    if (path.empty()) return false;
    DWORD ignored = 0;
    const LONG rc =
        RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_WRITE, nullptr, key, disposition ? disposition : &ignored);
    if (rc != ERROR_SUCCESS) *key = nullptr;
    return rc == ERROR_SUCCESS;
}

bool OpenWatermarksKeyRead(HANDLE hPrinter, HKEY* key) {
    if (!key) return false;
    *key = nullptr;
    HKEY driverKey = nullptr;
    if (!OpenDriverKeyRead(hPrinter, &driverKey)) return false;
    return OpenWatermarksUnder(ScopedKey(driverKey), false, key);
}

bool CreateWatermarksKey(HANDLE hPrinter, HKEY* key) {
    if (!key) return false;
    *key = nullptr;
    HKEY driverKey = nullptr;
    if (!CreateDriverKey(hPrinter, &driverKey)) return false;
    return OpenWatermarksUnder(ScopedKey(driverKey), true, key);
}

} // namespace cv
