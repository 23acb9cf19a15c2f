// Letter case for comparisons of names without regard to case, without the platform: the
// portable core compares names (profiles, watermarks inside a profile) the way the shell's
// lstrcmpiW does for the scripts the module is translated into.
#pragma once

#include <cstddef>
#include <string>

namespace cv {

// The lower-case partner of a character: ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic,
// the scripts of the module's translations that have letter case; every other character is its
// own partner. (Turkish dotted and dotless i, whose pairing depends on the language, stay apart.)
inline char16_t FoldTextCase(char16_t c) {
    const auto in = [c](unsigned first, unsigned last) { return c >= first && c <= last; };
    if (c < 0x80) return in(u'A', u'Z') ? char16_t(c + 0x20) : c;
    if (in(0xC0, 0xDE) && c != 0xD7) return char16_t(c + 0x20);
    if (c < 0x100) return c;
    // Latin Extended-A: capital and small side by side; the i pair and kra stay alone.
    if (in(0x100, 0x12F) || in(0x132, 0x137) || in(0x14A, 0x177))
        return (c & 1) ? c : char16_t(c + 1);
    if (in(0x139, 0x148) || in(0x179, 0x17E)) return (c & 1) ? char16_t(c + 1) : c;
    if (c == 0x178) return 0xFF;
    if (c == 0x386) return 0x3AC;
    if (in(0x388, 0x38A)) return char16_t(c + 0x25);
    if (c == 0x38C) return 0x3CC;
    if (in(0x38E, 0x38F)) return char16_t(c + 0x3F);
    if (in(0x391, 0x3A9) && c != 0x3A2) return char16_t(c + 0x20);
    if (c == 0x3C2) return 0x3C3; // final sigma
    if (in(0x400, 0x40F)) return char16_t(c + 0x50);
    if (in(0x410, 0x42F)) return char16_t(c + 0x20);
    return c;
}

// Two texts, each bounded by its array (`SIZE_MAX` for a terminated one), equal without regard
// to case. A missing text equals nothing.
inline bool EqualTextIgnoringCase(const char16_t* a, size_t aCapacity, const char16_t* b,
                                  size_t bCapacity) {
    if (!a || !b) return false;
    for (size_t i = 0;; ++i) {
        const char16_t ca = i < aCapacity ? a[i] : 0;
        const char16_t cb = i < bCapacity ? b[i] : 0;
        if (FoldTextCase(ca) != FoldTextCase(cb)) return false;
        if (ca == 0) return true;
    }
}

inline bool EqualTextIgnoringCase(const char16_t* a, const char16_t* b) {
    return EqualTextIgnoringCase(a, static_cast<size_t>(-1), b, static_cast<size_t>(-1));
}

// The text with every character replaced by its lower-case partner: a key for sets of names that
// letter case does not tell apart.
inline std::u16string FoldedText(std::u16string text) {
    for (char16_t& c : text)
        c = FoldTextCase(c);
    return text;
}

} // namespace cv
