#include "ui/strings.h"

#include "core/module.h"
#include "ui/bounded_string.h"

#include <cstring>

namespace cv {

namespace {
constexpr size_t kTextUnits = 2048;
}

std::wstring_view StringResource(UINT id) {
    // With no buffer, LoadStringW hands out the resource itself and its length.
    const wchar_t* resource = nullptr;
    const int length = LoadStringW(moduleInstance, id, reinterpret_cast<LPWSTR>(&resource), 0);
    if (length <= 0 || !resource) return {};
    return std::wstring_view(resource, static_cast<size_t>(length));
}

std::wstring LoadText(UINT id) {
    const std::wstring_view text = StringResource(id);
    return std::wstring(text.substr(0, kTextUnits - 1));
}

bool LoadTextInto(char16_t* buffer, size_t capacity, UINT id) {
    const std::wstring_view text = StringResource(id);
    if (text.empty() || !buffer || capacity == 0) return false;
    BoundedCopy(buffer, capacity, reinterpret_cast<const char16_t*>(text.data()), text.size());
    return true;
}

size_t LoadWholeText(UINT id, char16_t* buffer, size_t capacity) {
    const std::wstring_view text = StringResource(id);
    if (text.empty() || !buffer || text.size() + 1 > capacity) return 0;
    std::memcpy(buffer, text.data(), text.size() * sizeof(wchar_t));
    buffer[text.size()] = 0;
    return text.size();
}

} // namespace cv
