// The module's string table: every text the plug-in shows or stores comes from here by number.
#pragma once

#include "core/plugin_abi.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace cv {

// The resource's own text (not terminated); empty when the string is missing.
std::wstring_view StringResource(UINT id);

// A string as the module shows it: at most 2047 units (its text buffers hold 2048); empty when
// it is missing.
std::wstring LoadText(UINT id);

// Into a fixed record array, cut to the array and terminated; the array keeps its content when
// the string is missing (false).
bool LoadTextInto(char16_t* buffer, size_t capacity, UINT id);
template <size_t N> bool LoadTextInto(char16_t (&buffer)[N], UINT id) {
    return LoadTextInto(buffer, N, id);
}

// The whole string and a terminator, or nothing: 0 when it is missing or does not fit (for
// texts that must not be printed cut). Otherwise its length.
size_t LoadWholeText(UINT id, char16_t* buffer, size_t capacity);

} // namespace cv
