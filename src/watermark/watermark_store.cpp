#include "watermark/watermark_store.h"

#include "core/module.h"
#include "ui/bounded_string.h"
#include "ui/scoped_handles.h"
#include "watermark/driver_key.h"

#include <algorithm>
#include <new>
#include <string>
#include <vector>

namespace cv {

namespace {

constexpr const wchar_t* kWatermarksKey = L"Watermarks";
constexpr const wchar_t* kCountValue = L"NumberOfWaterMarks";
// Value names are enumerated into a buffer of this size: a record's name is at most 127 units.
constexpr DWORD kNameBufferUnits = 128;

const wchar_t* Wide(const char16_t* text) {
    return reinterpret_cast<const wchar_t*>(text);
}

// Loads string `id` into a fixed record array; the array keeps its content when the string is
// missing.
template <size_t N> void LoadInto(char16_t (&dst)[N], UINT id) {
    wchar_t buffer[N];
    if (LoadStringW(moduleInstance, id, buffer, static_cast<int>(N)) > 0)
        BoundedCopy(dst, N, reinterpret_cast<const char16_t*>(buffer), N);
}

struct DefaultRow {
    UINT nameId;
    UINT textId;
    double angle;
    uint32_t color;
    uint32_t pointSize;
    uint32_t position;
    Bool32 isDynamic;
};
constexpr UINT kDefaultFaceId = 96;
constexpr DefaultRow kDefaultRows[kDefaultWatermarkCount] = {
    {100, 89, 45.0, 0xCDCDCD, 72, Center, 0},
    {101, 90, 45.0, 0xCDCDCD, 72, Center, 0},
    {174, 175, 0.0, 0x000000, 8, TopLeft, 1},
    {176, 177, 0.0, 0x000000, 8, TopRight, 1},
};

// Enumerates the value names of `key` by index, calling `onName` with each name that fits the
// name buffer. Returns the code that ended the run and, in *index, where it ended.
template <typename Fn> LONG EnumerateValueNames(HKEY key, DWORD* index, Fn&& onName) {
    for (*index = 0;; ++*index) {
        wchar_t name[kNameBufferUnits];
        DWORD length = kNameBufferUnits;
        const LONG rc =
            RegEnumValueW(key, *index, name, &length, nullptr, nullptr, nullptr, nullptr);
        // A name that does not fit still counts as a value, but its buffer holds nothing usable:
        // no watermark can carry a name that long, so it is not handed on.
        if (rc == ERROR_MORE_DATA) continue;
        if (rc != ERROR_SUCCESS) return rc;
        onName(name, std::min<DWORD>(length, kNameBufferUnits - 1));
    }
}

// Whether "Watermarks" holds a value of that name at all, whatever its type and size.
// The count and value helpers below work under a driver key the caller already holds, so that
// one save or delete asks the spooler for the driver's name once instead of once per step.
uint32_t ReadCountUnder(HKEY driverKey) {
    DWORD type = REG_NONE, value = 0, size = sizeof value;
    if (RegQueryValueExW(driverKey, kCountValue, nullptr, &type, reinterpret_cast<BYTE*>(&value),
                         &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value)
        return 0;
    return value;
}

bool WriteCountUnder(HKEY driverKey, uint32_t count) {
    const DWORD value = count;
    return RegSetValueExW(driverKey, kCountValue, 0, REG_DWORD,
                          reinterpret_cast<const BYTE*>(&value), sizeof value) == ERROR_SUCCESS;
}

// The current user's existing driver key of the printer, for reading and writing.
bool OpenDriverKeyReadWrite(HANDLE hPrinter, ScopedKey* key) {
    const std::wstring path = DriverKeyPath(hPrinter);
    return !path.empty() && RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0,
                                          KEY_READ | KEY_WRITE, key->put()) == ERROR_SUCCESS;
}

// The current user's driver key of the printer, created if missing, for reading and writing.
bool CreateDriverKeyReadWrite(HANDLE hPrinter, ScopedKey* key) {
    const std::wstring path = DriverKeyPath(hPrinter);
    return !path.empty() &&
           RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                           KEY_READ | KEY_WRITE, nullptr, key->put(), nullptr) == ERROR_SUCCESS;
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

} // namespace

bool MakeDefaultWatermark(uint32_t which, WatermarkSettings* wm) {
    if (!wm || which >= kDefaultWatermarkCount) return false;
    const DefaultRow& row = kDefaultRows[which];
    ResetWatermark(wm);
    LoadInto(wm->name, row.nameId);
    LoadInto(wm->text, row.textId);
    LoadInto(wm->faceName, kDefaultFaceId);
    wm->angle = row.angle;
    wm->color = row.color;
    wm->pointSize = row.pointSize;
    wm->position = row.position;
    wm->isDynamic = row.isDynamic;
    return true;
}

bool ReadWatermark(HANDLE hPrinter, const wchar_t* name, WatermarkSettings* wm) {
    if (!name || !wm) return false;
    ScopedKey key;
    if (!OpenWatermarksKeyRead(hPrinter, key.put())) return false;
    DWORD type = REG_NONE, size = 0;
    if (RegQueryValueExW(key.get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return false;
    if (type != REG_BINARY || size == 0 || size > sizeof(WatermarkSettings)) return false;

    WatermarkSettings record{};
    ResetWatermark(&record);
    if (RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&record),
                         &size) != ERROR_SUCCESS ||
        type != REG_BINARY)
        return false;
    // Anyone can write this value: its texts need not be terminated nor its numbers in range.
    ValidateWatermark(&record);
    *wm = record;
    return true;
}

bool WatermarkExists(HANDLE hPrinter, const wchar_t* name) {
    WatermarkSettings scratch{};
    return ReadWatermark(hPrinter, name, &scratch);
}

bool SaveWatermark(HANDLE hPrinter, const WatermarkSettings* wm) {
    if (!wm) return false;
    WatermarkSettings record = *wm;
    TerminateArray(record.name);
    TerminateArray(record.text);
    TerminateArray(record.faceName);
    // An empty name would address the key's default value, which is no watermark.
    if (!record.name[0]) return false;

    ScopedKey driverKey;
    if (!CreateDriverKeyReadWrite(hPrinter, &driverKey)) return false;
    const uint32_t count = ReadCountUnder(driverKey.get());
    ScopedKey key;
    if (RegCreateKeyExW(driverKey.get(), kWatermarksKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_READ | KEY_WRITE, nullptr, key.put(), nullptr) != ERROR_SUCCESS)
        return false;
    // The count follows the values: a value of that name that is there but unreadable is still
    // replaced, not added.
    const bool existed =
        RegQueryValueExW(key.get(), Wide(record.name), nullptr, nullptr, nullptr, nullptr) ==
        ERROR_SUCCESS;
    if (RegSetValueExW(key.get(), Wide(record.name), 0, REG_BINARY,
                       reinterpret_cast<const BYTE*>(&record),
                       sizeof(WatermarkSettings)) != ERROR_SUCCESS)
        return false;
    if (!existed && count < UINT32_MAX) WriteCountUnder(driverKey.get(), count + 1);
    return true;
}

bool DeleteWatermark(HANDLE hPrinter, const wchar_t* name) {
    if (!name) return false;
    ScopedKey driverKey;
    if (!OpenDriverKeyReadWrite(hPrinter, &driverKey)) return false;
    const uint32_t count = ReadCountUnder(driverKey.get());
    ScopedKey key;
    if (RegOpenKeyExW(driverKey.get(), kWatermarksKey, 0, KEY_WRITE, key.put()) != ERROR_SUCCESS)
        return false;
    if (RegDeleteValueW(key.get(), name) != ERROR_SUCCESS) return false;
    // A count that is already 0 (missing, or out of step with the values) stays 0 rather than
    // wrapping to 4294967295.
    WriteCountUnder(driverKey.get(), count > 0 ? count - 1 : 0);
    return true;
}

uint32_t CountWatermarks(HANDLE hPrinter) {
    ScopedKey key;
    if (!OpenWatermarksKeyRead(hPrinter, key.put())) return 0;
    DWORD index = 0;
    const LONG rc = EnumerateValueNames(key.get(), &index, [](const wchar_t*, DWORD) {});
    return rc == ERROR_NO_MORE_ITEMS ? index : 0;
}

bool FillWatermarkList(HANDLE hPrinter, HWND listBox) {
    if (!listBox) return false;
    ScopedKey key;
    if (!OpenWatermarksKeyRead(hPrinter, key.put())) return false;
    DWORD longest = 0;
    DWORD index = 0;
    const LONG rc = EnumerateValueNames(key.get(), &index, [&](const wchar_t* name, DWORD length) {
        SendMessageW(listBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        longest = std::max(longest, length);
    });

    // Wide enough to scroll to the end of the longest name, measured in the list's own font.
    {
        ScopedWindowDC dc(listBox);
        if (dc.get()) {
            const auto font = reinterpret_cast<HGDIOBJ>(SendMessageW(listBox, WM_GETFONT, 0, 0));
            ScopedSelect selected(dc.get(), font);
            TEXTMETRICW metrics{};
            if (GetTextMetricsW(dc.get(), &metrics))
                SendMessageW(listBox, LB_SETHORIZONTALEXTENT,
                             static_cast<WPARAM>(metrics.tmMaxCharWidth) * longest, 0);
        }
    }
    return rc == ERROR_NO_MORE_ITEMS || index == 0;
}

uint32_t ReadWatermarkCount(HANDLE hPrinter) {
    ScopedKey key;
    return OpenDriverKeyRead(hPrinter, key.put()) ? ReadCountUnder(key.get()) : 0;
}

bool WriteWatermarkCount(HANDLE hPrinter, uint32_t count) {
    ScopedKey key;
    return CreateDriverKey(hPrinter, key.put()) && WriteCountUnder(key.get(), count);
}

bool InstallDefaultWatermarks(const wchar_t* driverName) {
    const std::wstring path = DriverKeyPath(driverName);
    if (path.empty()) return false;
    bool all = true;
    for (uint32_t which = 0; which < kDefaultWatermarkCount; ++which) {
        WatermarkSettings wm{};
        MakeDefaultWatermark(which, &wm);
        ScopedKey driverKey, key;
        const bool written =
            RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_WRITE, nullptr, driverKey.put(), nullptr) == ERROR_SUCCESS &&
            RegCreateKeyExW(driverKey.get(), kWatermarksKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_WRITE, nullptr, key.put(), nullptr) == ERROR_SUCCESS &&
            RegSetValueExW(key.get(), Wide(wm.name), 0, REG_BINARY,
                           reinterpret_cast<const BYTE*>(&wm), sizeof wm) == ERROR_SUCCESS;
        all = all && written;
    }
    return all;
}

bool MigrateDefaultUserSettings(HANDLE hPrinter) {
    {
        ScopedKey own;
        if (OpenDriverKeyRead(hPrinter, own.put())) return false;
    }
    const std::wstring path = DriverKeyPath(hPrinter);
    if (path.empty()) return false;
    ScopedKey defaultUser, source;
    if (RegOpenKeyExW(HKEY_USERS, L".DEFAULT", 0, KEY_READ, defaultUser.put()) != ERROR_SUCCESS ||
        RegOpenKeyExW(defaultUser.get(), path.c_str(), 0, KEY_READ, source.put()) != ERROR_SUCCESS)
        return false;

    bool copied = false;
    {
        ScopedKey destination;
        if (CreateDriverKey(hPrinter, destination.put()))
            copied = CopyValues(source.get(), destination.get());
    }
    ScopedKey sourceWatermarks;
    if (RegOpenKeyExW(source.get(), kWatermarksKey, 0, KEY_READ, sourceWatermarks.put()) ==
        ERROR_SUCCESS) {
        ScopedKey destination;
        if (CreateWatermarksKey(hPrinter, destination.put()) &&
            CopyValues(sourceWatermarks.get(), destination.get()))
            copied = true;
    }
    if (copied) {
        DWORD stored = 0;
        if (sourceWatermarks &&
            RegQueryInfoKeyW(sourceWatermarks.get(), nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr, &stored, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            stored = 0;
        WriteWatermarkCount(hPrinter, stored);
    }
    return copied;
}

} // namespace cv
