// Names the host gives printers and drivers after a model's nickname, and names in messages.
// Portable (no platform headers) so that it is tested natively.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace cvhost {

// Windows refuses a printer name with ',' or '\' (they separate server, printer and options in
// the names it parses) or longer than this many characters.
constexpr size_t kMaxPrinterNameLength = 220;

// `name` as a printer name Windows accepts: a ',' becomes a space (and goes where a space
// follows), a '\' becomes '/', and a name over the limit is cut (trailing spaces and half a
// surrogate pair go with the cut). A valid name comes back unchanged.
std::u16string ValidPrinterName(std::u16string_view name);

// `text` to quote in a one-line message: at most `max` characters, a longer one cut to end
// in "...".
std::u16string CutForMessage(std::u16string_view text, size_t max);

} // namespace cvhost
