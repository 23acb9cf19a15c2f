#include "core/driver_key.h"

#include "core/spooler_query.h"

#include <algorithm>
#include <new>
#include <vector>

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

std::wstring DriverKeyPath(HANDLE hPrinter) {
    return DriverKeyPath(PrinterDriverName(hPrinter).c_str());
}

namespace {

bool OpenPath(const std::wstring& path, REGSAM access, ScopedKey* key) {
    return !path.empty() && key->Open(HKEY_CURRENT_USER, path.c_str(), access);
}

bool CreatePath(const std::wstring& path, REGSAM access, ScopedKey* key) {
    return !path.empty() && key->Create(HKEY_CURRENT_USER, path.c_str(), access);
}

// Copies every value of `source` (name, type and data as they are) into `destination`, from the
// highest index down; stops at the first value that cannot be read or written. True when at
// least one value was copied.
bool CopyValues(HKEY source, HKEY destination) {
    DWORD count = 0, longestName = 0, longestData = 0;
    if (RegQueryInfoKeyW(source, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                         &longestName, &longestData, nullptr, nullptr) != ERROR_SUCCESS)
        return false;
    if (count == 0 || longestName == 0) return false;
    bool copied = false;
    try {
        std::vector<wchar_t> name(size_t(longestName) + 1);
        std::vector<BYTE> data(std::max<DWORD>(longestData, 1));
        for (DWORD i = count; i-- > 0;) {
            DWORD nameLength = static_cast<DWORD>(name.size());
            DWORD dataSize = static_cast<DWORD>(data.size());
            DWORD type = REG_NONE;
            if (RegEnumValueW(source, i, name.data(), &nameLength, nullptr, &type, data.data(),
                              &dataSize) != ERROR_SUCCESS)
                break;
            if (RegSetValueExW(destination, name.data(), 0, type, data.data(), dataSize) !=
                ERROR_SUCCESS)
                break;
            copied = true;
        }
    } catch (const std::bad_alloc&) {
    }
    return copied;
}

DWORD ValueCount(HKEY key) {
    DWORD count = 0;
    if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr,
                         nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return 0;
    return count;
}

} // namespace

bool OpenDriverKeyRead(HANDLE hPrinter, ScopedKey* key, REGSAM access) {
    if (!key) return false;
    key->reset();
    return hPrinter && OpenPath(DriverKeyPath(hPrinter), access, key);
}

bool CreateDriverKey(HANDLE hPrinter, ScopedKey* key, REGSAM access) {
    if (!key) return false;
    key->reset();
    return hPrinter && CreatePath(DriverKeyPath(hPrinter), access, key);
}

bool CreateDriverKeyOf(const wchar_t* driverName, ScopedKey* key, REGSAM access) {
    if (!key) return false;
    key->reset();
    return CreatePath(DriverKeyPath(driverName), access, key);
}

bool MigrateDefaultUserSettings(HANDLE hPrinter) {
    // The driver is named once; every key below is reached through this path.
    const std::wstring path = DriverKeyPath(hPrinter);
    if (path.empty()) return false;
    {
        ScopedKey own;
        if (OpenPath(path, KEY_READ, &own)) return false;
    }
    ScopedKey defaultUser, source;
    if (!defaultUser.Open(HKEY_USERS, L".DEFAULT", KEY_READ) ||
        !source.Open(defaultUser.get(), path.c_str(), KEY_READ))
        return false;

    ScopedKey destination;
    if (!CreatePath(path, KEY_READ | KEY_WRITE, &destination)) return false;
    bool copied = CopyValues(source.get(), destination.get());

    ScopedKey sourceWatermarks, destinationWatermarks;
    if (sourceWatermarks.Open(source.get(), kWatermarksKey, KEY_READ) &&
        destinationWatermarks.Create(destination.get(), kWatermarksKey, KEY_WRITE) &&
        CopyValues(sourceWatermarks.get(), destinationWatermarks.get()))
        copied = true;
    if (copied) {
        const DWORD stored = sourceWatermarks ? ValueCount(sourceWatermarks.get()) : 0;
        RegSetValueExW(destination.get(), kWatermarkCountValue, 0, REG_DWORD,
                       reinterpret_cast<const BYTE*>(&stored), sizeof stored);
    }
    return copied;
}

} // namespace cv
