#include "watermark/watermark_store.h"

#include "core/driver_key.h"
#include "core/subsystems.h"
#include "ui/bounded_string.h"
#include "ui/dialog_text.h"
#include "ui/scoped_handles.h"
#include "ui/strings.h"

#include <algorithm>
#include <new>
#include <string>
#include <vector>

namespace cv {

namespace {

// Value names are enumerated into a buffer of this size: a record's name is at most 127 units.
constexpr DWORD kNameBufferUnits = 128;

const wchar_t* Wide(const char16_t* text) {
    return reinterpret_cast<const wchar_t*>(text);
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

// The count and value helpers below work under a driver key the caller already holds, so that
// one save or delete asks the spooler for the driver's name once instead of once per step.
uint32_t ReadCountUnder(HKEY driverKey) {
    DWORD type = REG_NONE, value = 0, size = sizeof value;
    if (RegQueryValueExW(driverKey, kWatermarkCountValue, nullptr, &type,
                         reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value)
        return 0;
    return value;
}

bool WriteCountUnder(HKEY driverKey, uint32_t count) {
    const DWORD value = count;
    return RegSetValueExW(driverKey, kWatermarkCountValue, 0, REG_DWORD,
                          reinterpret_cast<const BYTE*>(&value), sizeof value) == ERROR_SUCCESS;
}

// The printer's "Watermarks" for reading; the driver key is closed again.
bool OpenWatermarksRead(HANDLE hPrinter, ScopedKey* key) {
    ScopedKey driverKey;
    return OpenDriverKeyRead(hPrinter, &driverKey) &&
           key->Open(driverKey.get(), kWatermarksKey, KEY_READ);
}

} // namespace

bool MakeDefaultWatermark(uint32_t which, WatermarkSettings* wm) {
    if (!wm || which >= kDefaultWatermarkCount) return false;
    const DefaultRow& row = kDefaultRows[which];
    ResetWatermark(wm);
    LoadTextInto(wm->name, row.nameId);
    LoadTextInto(wm->text, row.textId);
    LoadTextInto(wm->faceName, kDefaultFaceId);
    wm->angle = row.angle;
    wm->color = row.color;
    wm->pointSize = row.pointSize;
    wm->position = row.position;
    wm->isDynamic = row.isDynamic;
    return true;
}

bool ReadWatermark(HANDLE hPrinter, const wchar_t* name, WatermarkSettings* wm) {
    return name && wm && WatermarkStoreReader(hPrinter).Read(name, wm);
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

    ScopedKey driverKey, key;
    if (!CreateDriverKey(hPrinter, &driverKey) ||
        !key.Create(driverKey.get(), kWatermarksKey, KEY_READ | KEY_WRITE))
        return false;
    const uint32_t count = ReadCountUnder(driverKey.get());
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
    ScopedKey driverKey, key;
    if (!OpenDriverKeyRead(hPrinter, &driverKey, KEY_READ | KEY_WRITE) ||
        !key.Open(driverKey.get(), kWatermarksKey, KEY_WRITE))
        return false;
    const uint32_t count = ReadCountUnder(driverKey.get());
    if (RegDeleteValueW(key.get(), name) != ERROR_SUCCESS) return false;
    // A count that is already 0 (missing, or out of step with the values) stays 0 rather than
    // wrapping to 4294967295.
    WriteCountUnder(driverKey.get(), count > 0 ? count - 1 : 0);
    return true;
}

uint32_t CountWatermarks(HANDLE hPrinter) {
    ScopedKey key;
    if (!OpenWatermarksRead(hPrinter, &key)) return 0;
    DWORD index = 0;
    const LONG rc = EnumerateValueNames(key.get(), &index, [](const wchar_t*, DWORD) {});
    return rc == ERROR_NO_MORE_ITEMS ? index : 0;
}

bool FillWatermarkLists(HANDLE hPrinter, HWND const* lists, size_t count) {
    if (!lists || count == 0) return false;
    for (size_t i = 0; i < count; ++i)
        if (!lists[i]) return false;
    return WatermarkStoreReader(hPrinter).FillLists(lists, count);
}

bool FillWatermarkList(HANDLE hPrinter, HWND listBox) {
    return FillWatermarkLists(hPrinter, &listBox, 1);
}

WatermarkStoreReader::WatermarkStoreReader(HANDLE hPrinter) {
    ScopedKey key;
    if (OpenWatermarksRead(hPrinter, &key)) key_ = key.release();
}

WatermarkStoreReader::~WatermarkStoreReader() {
    if (key_) RegCloseKey(key_);
}

bool WatermarkStoreReader::Read(const wchar_t* name, WatermarkSettings* wm) const {
    if (!key_ || !name || !wm) return false;
    // One read of at most a record: the registry refuses a longer value (ERROR_MORE_DATA), so a
    // value that grows after a size question can never overrun the record.
    WatermarkSettings stored;
    DWORD type = REG_NONE, size = sizeof stored;
    return RegQueryValueExW(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(&stored), &size) ==
               ERROR_SUCCESS &&
           DecodeWatermark(type, &stored, size, wm);
}

bool WatermarkStoreReader::Exists(const wchar_t* name) const {
    WatermarkSettings scratch{};
    return Read(name, &scratch);
}

bool WatermarkStoreReader::FillLists(HWND const* lists, size_t count) const {
    if (!key_ || !lists) return false;
    // Each value name is read from the registry once, whatever the number of lists; the lists
    // are drawn once, when every name is in.
    for (size_t i = 0; i < count; ++i)
        SendMessageW(lists[i], WM_SETREDRAW, FALSE, 0);
    DWORD longest = 0;
    DWORD index = 0;
    const LONG rc = EnumerateValueNames(key_, &index, [&](const wchar_t* name, DWORD length) {
        for (size_t i = 0; i < count; ++i)
            SendMessageW(lists[i], LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        longest = std::max(longest, length);
    });
    // Wide enough to scroll to the end of the longest name. The lists share one dialog font, so
    // the first one's metrics serve all; the extent is set while drawing is still off, so each
    // list updates its scroll bars once, when drawing resumes.
    const WPARAM extent = count ? static_cast<WPARAM>(ListNameExtent(lists[0], longest)) : 0;
    for (size_t i = 0; i < count; ++i) {
        SendMessageW(lists[i], LB_SETHORIZONTALEXTENT, extent, 0);
        SendMessageW(lists[i], WM_SETREDRAW, TRUE, 0);
        InvalidateRect(lists[i], nullptr, TRUE);
    }
    return rc == ERROR_NO_MORE_ITEMS || index == 0;
}

uint32_t ReadWatermarkCount(HANDLE hPrinter) {
    ScopedKey key;
    return OpenDriverKeyRead(hPrinter, &key) ? ReadCountUnder(key.get()) : 0;
}

bool WriteWatermarkCount(HANDLE hPrinter, uint32_t count) {
    ScopedKey key;
    return CreateDriverKey(hPrinter, &key) && WriteCountUnder(key.get(), count);
}

bool InstallDefaultWatermarks(const wchar_t* driverName) {
    ScopedKey driverKey, key;
    if (!CreateDriverKeyOf(driverName, &driverKey, KEY_WRITE) ||
        !key.Create(driverKey.get(), kWatermarksKey, KEY_WRITE))
        return false;
    bool all = true;
    for (uint32_t which = 0; which < kDefaultWatermarkCount; ++which) {
        WatermarkSettings wm{};
        MakeDefaultWatermark(which, &wm);
        all = RegSetValueExW(key.get(), Wide(wm.name), 0, REG_BINARY,
                             reinterpret_cast<const BYTE*>(&wm), sizeof wm) == ERROR_SUCCESS &&
              all;
    }
    return all;
}

} // namespace cv
