#include "watermark/dynamic_text_platform_win.h"

#include "core/spooler_query.h"
#include "ui/strings.h"

#include <climits>
#include <cstring>
#include <vector>

namespace cv {

namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 on Windows");

wchar_t* Wide(char16_t* text) {
    return reinterpret_cast<wchar_t*>(text);
}
const wchar_t* Wide(const char16_t* text) {
    return reinterpret_cast<const wchar_t*>(text);
}

SYSTEMTIME ToSystemTime(const LocalTime& time) {
    static_assert(sizeof(SYSTEMTIME) == sizeof(LocalTime));
    SYSTEMTIME st;
    std::memcpy(&st, &time, sizeof st);
    return st;
}

// Copies `length` units and a terminator when they fit; 0 otherwise (a value is never cut).
size_t CopyWhole(const wchar_t* source, size_t length, char16_t* buffer, size_t capacity) {
    if (!buffer || length == 0 || length + 1 > capacity) return 0;
    std::memcpy(buffer, source, length * sizeof(wchar_t));
    buffer[length] = 0;
    return length;
}

int CapacityAsInt(size_t capacity) {
    return capacity > static_cast<size_t>(INT_MAX) ? INT_MAX : static_cast<int>(capacity);
}

} // namespace

size_t Win32DynamicTextPlatform::LoadText(uint32_t id, char16_t* buffer, size_t capacity) {
    // A string too long for the buffer is refused instead of silently cut.
    return LoadWholeText(id, buffer, capacity);
}

size_t Win32DynamicTextPlatform::UserName(char16_t* buffer, size_t capacity) {
    if (!buffer || capacity == 0 || capacity > ULONG_MAX) return 0;
    DWORD size = static_cast<DWORD>(capacity);
    // size counts the terminator on success.
    if (!GetUserNameW(Wide(buffer), &size) || size <= 1 || size > capacity) return 0;
    buffer[size - 1] = 0;
    return size - 1;
}

size_t Win32DynamicTextPlatform::ComputerName(char16_t* buffer, size_t capacity) {
    if (!buffer || capacity == 0 || capacity > ULONG_MAX) return 0;
    DWORD size = static_cast<DWORD>(capacity);
    // size excludes the terminator on success.
    if (!GetComputerNameW(Wide(buffer), &size) || size == 0 || size >= capacity) return 0;
    buffer[size] = 0;
    return size;
}

size_t Win32DynamicTextPlatform::FormatDate(const LocalTime& time, DateStyle style,
                                            const char16_t* picture, char16_t* buffer,
                                            size_t capacity) {
    if (!buffer || capacity == 0) return 0;
    const SYSTEMTIME st = ToSystemTime(time);
    DWORD flags = 0;
    const wchar_t* format = nullptr;
    switch (style) {
    case DateStyle::Short:
        flags = DATE_SHORTDATE;
        break;
    case DateStyle::Long:
        flags = DATE_LONGDATE;
        break;
    case DateStyle::Picture:
        if (!picture) return 0;
        format = Wide(picture);
        break;
    }
    const int needed = GetDateFormatW(LOCALE_USER_DEFAULT, flags, &st, format, nullptr, 0);
    if (needed <= 1 || static_cast<size_t>(needed) > capacity) return 0;
    const int written = GetDateFormatW(LOCALE_USER_DEFAULT, flags, &st, format, Wide(buffer),
                                       CapacityAsInt(capacity));
    if (written <= 1) return 0;
    buffer[written - 1] = 0;
    return static_cast<size_t>(written - 1);
}

size_t Win32DynamicTextPlatform::FormatTime(const LocalTime& time, const char16_t* picture,
                                            char16_t* buffer, size_t capacity) {
    if (!buffer || capacity == 0) return 0;
    const SYSTEMTIME st = ToSystemTime(time);
    const wchar_t* format = picture ? Wide(picture) : nullptr;
    const int needed = GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &st, format, nullptr, 0);
    if (needed <= 1 || static_cast<size_t>(needed) > capacity) return 0;
    const int written =
        GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &st, format, Wide(buffer), CapacityAsInt(capacity));
    if (written <= 1) return 0;
    buffer[written - 1] = 0;
    return static_cast<size_t>(written - 1);
}

size_t Win32DynamicTextPlatform::PrinterInfo(void* printer, PrinterField field, char16_t* buffer,
                                             size_t capacity) {
    std::vector<BYTE> storage;
    const PRINTER_INFO_2W* info = ReadPrinterInfo2(static_cast<HANDLE>(printer), &storage);
    if (!info) return 0;
    const wchar_t* value =
        field == PrinterField::PrinterName ? info->pPrinterName : info->pDriverName;
    if (!value) return 0;
    return CopyWhole(value, wcslen(value), buffer, capacity);
}

LocalTime Win32DynamicTextPlatform::CurrentLocalTime() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    LocalTime time;
    std::memcpy(&time, &st, sizeof time);
    return time;
}

DynamicTextPlatform& SystemDynamicTextPlatform() {
    static Win32DynamicTextPlatform platform;
    return platform;
}

} // namespace cv
