#include "output/output_registry.h"

#include "core/driver_key.h"
#include "output/output_rules.h"
#include "ui/bounded_string.h"
#include "ui/scoped_handles.h"

namespace cv {

static constexpr const wchar_t* kLastUserNameValue = L"LastUserName";
static constexpr const wchar_t* kFaxInfoValue = L"FaxInfo";

// Reads a value of at most `capacity` bytes in one call, so that a value that grows between a
// size query and the read can never overrun the buffer: a larger value is simply not read.
static bool QueryBoundedValue(HANDLE hPrinter, const wchar_t* name, void* data, DWORD capacity,
                              DWORD* type, DWORD* size) {
    ScopedKey key;
    if (!OpenDriverKeyRead(hPrinter, &key)) return false;
    *size = capacity;
    return RegQueryValueExW(key.get(), name, nullptr, type, static_cast<BYTE*>(data), size) ==
           ERROR_SUCCESS;
}

bool ReadLastUserName(HANDLE hPrinter, char16_t* buffer, size_t capacity) {
    if (!buffer || capacity < kUserNameChars + 1) return false;
    char16_t stored[kUserNameChars + 1] = {};
    DWORD type = 0, size = 0;
    if (!QueryBoundedValue(hPrinter, kLastUserNameValue, stored, sizeof stored, &type, &size))
        return false;
    char16_t name[kUserNameChars + 1];
    if (!DecodeLastUserName(type, stored, size, name)) return false;
    BoundedCopy(buffer, capacity, name, kUserNameChars + 1);
    return true;
}

bool WriteLastUserName(HANDLE hPrinter, const char16_t* name) {
    const size_t length = BoundedLength(name, kUserNameChars + 1);
    if (length == 0 || length > kUserNameChars) return false;
    ScopedKey key;
    if (!CreateDriverKey(hPrinter, &key, KEY_WRITE)) return false;
    const DWORD bytes = static_cast<DWORD>((length + 1) * sizeof(char16_t));
    return RegSetValueExW(key.get(), kLastUserNameValue, 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(name), bytes) == ERROR_SUCCESS;
}

bool ReadFaxInfo(HANDLE hPrinter, FaxSettings* fax) {
    if (!fax) return false;
    FaxSettings stored;
    DWORD type = 0, size = 0;
    if (!QueryBoundedValue(hPrinter, kFaxInfoValue, &stored, sizeof stored, &type, &size))
        return false;
    return DecodeFaxInfo(type, &stored, size, fax);
}

bool WriteFaxInfo(HANDLE hPrinter, const FaxSettings* fax) {
    if (!fax) return false;
    ScopedKey key;
    if (!CreateDriverKey(hPrinter, &key, KEY_WRITE)) return false;
    return RegSetValueExW(key.get(), kFaxInfoValue, 0, REG_BINARY,
                          reinterpret_cast<const BYTE*>(fax), sizeof *fax) == ERROR_SUCCESS;
}

} // namespace cv
