#include "host/printer_name.h"

namespace cvhost {

namespace {

bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

// The first `n` units of `text`, not ending in the first half of a surrogate pair.
std::u16string_view Head(std::u16string_view text, size_t n) {
    if (n >= text.size()) return text;
    if (n > 0 && IsHighSurrogate(text[n - 1])) --n;
    return text.substr(0, n);
}

} // namespace

std::u16string ValidPrinterName(std::u16string_view name) {
    std::u16string out;
    out.reserve(name.size());
    for (size_t i = 0; i < name.size(); ++i) {
        if (name[i] == u',') {
            if (i + 1 < name.size() && name[i + 1] != u' ') out.push_back(u' ');
        } else {
            out.push_back(name[i] == u'\\' ? u'/' : name[i]);
        }
    }
    if (out.size() > kMaxPrinterNameLength) {
        out = std::u16string(Head(out, kMaxPrinterNameLength));
        while (!out.empty() && out.back() == u' ')
            out.pop_back();
    }
    return out;
}

std::u16string CutForMessage(std::u16string_view text, size_t max) {
    if (text.size() <= max) return std::u16string(text);
    return std::u16string(Head(text, max < 3 ? 0 : max - 3)) + u"...";
}

} // namespace cvhost
