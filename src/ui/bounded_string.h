// Bounded UTF-16 helpers shared by the portable core and the Win32 shell.
//
// Every fixed-size text array in this plug-in's records comes from somewhere we do not control
// (a host buffer, a registry value, a profile written by an older release), so no helper here
// ever assumes a terminator is present: reads stop at the array's end and writes always leave the
// destination terminated inside its array.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>

namespace cv {

// Length of a text held in an array of `capacity` units; never reads past the array.
inline size_t BoundedLength(const char16_t* text, size_t capacity) {
    if (!text) return 0;
    size_t n = 0;
    while (n < capacity && text[n] != 0) ++n;
    return n;
}

// Copies `src` (an array of `srcCapacity` units, possibly unterminated) into `dst` (an array of
// `dstCapacity` units). Stops at the source's terminator, the source's end, or one unit before the
// destination's end, and always terminates. Units behind the terminator are left alone. Returns
// the number of units copied (without the terminator).
inline size_t BoundedCopy(char16_t* dst, size_t dstCapacity, const char16_t* src,
                          size_t srcCapacity) {
    if (!dst || dstCapacity == 0) return 0;
    size_t n = 0;
    if (src) {
        while (n + 1 < dstCapacity && n < srcCapacity && src[n] != 0) {
            dst[n] = src[n];
            ++n;
        }
    }
    dst[n] = 0;
    return n;
}

template <size_t D, size_t S>
inline size_t BoundedCopy(char16_t (&dst)[D], const char16_t (&src)[S]) {
    return BoundedCopy(dst, D, src, S);
}

// Copies a source the caller knows to be terminated (a loaded string, a control's text).
template <size_t D> inline size_t BoundedCopyText(char16_t (&dst)[D], const char16_t* src) {
    return BoundedCopy(dst, D, src, SIZE_MAX);
}

// Forces the last unit of an array to be a terminator.
template <size_t D> inline void TerminateArray(char16_t (&dst)[D]) { dst[D - 1] = 0; }

// True when both texts (each bounded by its array) are equal unit for unit.
inline bool BoundedEqual(const char16_t* a, size_t aCapacity, const char16_t* b,
                         size_t bCapacity) {
    size_t i = 0;
    for (;; ++i) {
        const char16_t ca = i < aCapacity ? a[i] : 0;
        const char16_t cb = i < bCapacity ? b[i] : 0;
        if (ca != cb) return false;
        if (ca == 0) return true;
    }
}

// Whitespace in the sense of the C library's iswspace for the characters a user can type into
// our fields (ASCII controls, space, the Unicode spaces and line separators).
inline bool IsWideSpace(char16_t c) {
    switch (c) {
    case 0x09: case 0x0A: case 0x0B: case 0x0C: case 0x0D: case 0x20: case 0x85: case 0xA0:
    case 0x1680: case 0x2028: case 0x2029: case 0x202F: case 0x205F: case 0x3000:
        return true;
    default:
        return c >= 0x2000 && c <= 0x200A;
    }
}

// A missing text is not blank (the caller distinguishes "no control" from "nothing typed").
inline bool IsBlankText(const char16_t* text) {
    if (!text) return false;
    for (; *text; ++text)
        if (!IsWideSpace(*text)) return false;
    return true;
}

// Removes trailing U+0020 only; other white space is deliberate input and stays.
inline void TrimTrailingSpaces(char16_t* text) {
    if (!text) return;
    size_t n = 0;
    while (text[n]) ++n;
    while (n > 0 && text[n - 1] == u' ') text[--n] = 0;
}

// Room for a "%d" or "%u" text of 32 bits, terminator included.
constexpr size_t kNumberTextCapacity = 12;

// "%d" (or "%u") of a value that fits 32 bits, signed or not; a wider value gives an empty text,
// since no field of ours shows one. Returns the length.
inline size_t FormatInteger(int64_t value, char16_t (&text)[kNumberTextCapacity]) {
    if (value < INT32_MIN || value > int64_t(UINT32_MAX)) {
        text[0] = 0;
        return 0;
    }
    char16_t digits[kNumberTextCapacity];
    size_t n = 0;
    // Through the unsigned magnitude, so that the most negative value has one too.
    uint64_t magnitude = value < 0 ? 0 - uint64_t(value) : uint64_t(value);
    do {
        digits[n++] = char16_t(u'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    size_t length = 0;
    if (value < 0) text[length++] = u'-';
    while (n)
        text[length++] = digits[--n];
    text[length] = 0;
    return length;
}

} // namespace cv
