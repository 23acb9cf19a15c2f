#include "watermark/position_rules.h"

#include "ui/bounded_string.h"

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace cv {

namespace {

// Anchor codes by [vertical row][horizontal row].
constexpr uint32_t kAnchorByRows[3][3] = {
    {TopLeft, TopCenter, TopRight},
    {CenterLeft, Center, CenterRight},
    {BottomLeft, BottomCenter, BottomRight},
};

bool IsAsciiDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// The first kOffsetEditChars units of a control's text, terminated.
struct EditText {
    char16_t units[kOffsetEditChars + 1];
    explicit EditText(const char16_t* text) {
        BoundedCopy(units, kOffsetEditChars + 1, text, SIZE_MAX);
    }
};

// Digits of a decimal text beyond what the exact path takes: read by the C library, with the
// point the current locale expects.
double ValueByCLibrary(bool negative, const char16_t* digits, size_t n) {
    char ascii[512];
    size_t k = 0;
    if (negative) ascii[k++] = '-';
    const char* point = std::localeconv()->decimal_point;
    for (size_t i = 0; i < n && k + 8 < sizeof ascii; ++i) {
        if (digits[i] == u'.') {
            for (const char* p = point; *p && k + 8 < sizeof ascii; ++p)
                ascii[k++] = *p;
        } else {
            ascii[k++] = char(digits[i]);
        }
    }
    ascii[k] = 0;
    return std::strtod(ascii, nullptr);
}

} // namespace

bool RadiosForAnchor(uint32_t position, AnchorRadios* radios) {
    if (!radios) return false;
    for (uint8_t v = 0; v < 3; ++v)
        for (uint8_t h = 0; h < 3; ++h)
            if (kAnchorByRows[v][h] == position) {
                *radios = {v, h};
                return true;
            }
    return false;
}

uint8_t CheckedRow(const bool (&checked)[3]) {
    // The last row counts whether or not it is checked.
    for (uint8_t row = 0; row < 2; ++row)
        if (checked[row]) return row;
    return 2;
}

uint32_t AnchorFromRadios(AnchorRadios radios) {
    const uint8_t v = radios.vertical > 2 ? 2 : radios.vertical;
    const uint8_t h = radios.horizontal > 2 ? 2 : radios.horizontal;
    return kAnchorByRows[v][h];
}

bool IsDecimalText(const char16_t* text) {
    if (!text || !*text) return false;
    const char16_t* c = text;
    if (*c == u'-') ++c;
    bool point = false;
    for (; *c; ++c) {
        if (*c == u'.') {
            if (point) return false;
            point = true;
        } else if (!IsAsciiDigit(*c)) {
            return false;
        }
    }
    return true;
}

double DecimalValue(const char16_t* text) {
    if (!text) return 0.0;
    const bool negative = *text == u'-';
    const char16_t* start = text + (negative ? 1 : 0);
    // The number: digits, then at most one point and digits.
    size_t n = 0;
    bool point = false, anyDigit = false;
    for (; start[n]; ++n) {
        if (IsAsciiDigit(start[n])) {
            anyDigit = true;
        } else if (start[n] == u'.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    // Like wcstod: without a digit nothing is converted, and the sign is not taken either.
    if (!anyDigit) return 0.0;

    // Exact path: up to 15 significant digits and 22 decimals make an integer and a power of ten
    // that are both exact doubles, and their quotient is then correctly rounded.
    uint64_t mantissa = 0;
    size_t significant = 0, decimals = 0;
    bool afterPoint = false;
    for (size_t i = 0; i < n; ++i) {
        if (start[i] == u'.') {
            afterPoint = true;
            continue;
        }
        if (afterPoint) ++decimals;
        if (mantissa == 0 && start[i] == u'0') continue;
        if (++significant > 15) break;
        mantissa = mantissa * 10 + uint64_t(start[i] - u'0');
    }
    if (significant > 15 || decimals > 22) return ValueByCLibrary(negative, start, n);
    static constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                              1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                              1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    const double magnitude = double(mantissa) / kPowersOfTen[decimals];
    return negative ? -magnitude : magnitude;
}

bool OffsetWithinLimits(double value, bool millimetres) {
    const double inches = millimetres ? value / kMillimetresPerInch : value;
    // Written so that a NaN is outside.
    return inches >= -kOffsetLimitInches && inches <= kOffsetLimitInches;
}

bool FormatOffset(double value, char16_t (&text)[kOffsetTextCapacity]) {
    text[0] = 0;
    if (!std::isfinite(value)) return false;
    const bool negative = std::signbit(value);
    const double magnitude = std::fabs(value);
    if (magnitude >= 9223372036854775808.0) return false;

    // magnitude = mantissa * 2^exponent exactly, with a 53-bit mantissa.
    int exponent = 0;
    const double fraction = std::frexp(magnitude, &exponent);
    const uint64_t mantissa = uint64_t(std::ldexp(fraction, 53));
    exponent -= 53;

    uint64_t whole = 0;
    uint32_t tenth = 0;
    if (exponent >= 0) {
        whole = mantissa << exponent; // an integer below 2^63
    } else {
        // Tenths: mantissa * 10 / 2^shift, rounded to nearest, exact halves to even.
        const uint64_t scaled = mantissa * 10; // below 2^57
        const int shift = -exponent;
        uint64_t tenths = 0;
        if (shift < 58) {
            tenths = scaled >> shift;
            const uint64_t remainder = scaled & ((uint64_t(1) << shift) - 1);
            const uint64_t half = uint64_t(1) << (shift - 1);
            if (remainder > half || (remainder == half && (tenths & 1))) ++tenths;
        } // else below a twentieth: rounds to 0.0
        whole = tenths / 10;
        tenth = uint32_t(tenths % 10);
    }

    char16_t digits[24];
    size_t n = 0;
    do {
        digits[n++] = char16_t(u'0' + whole % 10);
        whole /= 10;
    } while (whole);
    size_t k = 0;
    if (negative) text[k++] = u'-';
    while (n)
        text[k++] = digits[--n];
    text[k++] = u'.';
    text[k++] = char16_t(u'0' + tenth);
    text[k] = 0;
    return true;
}

namespace {

// `value` formatted "%.1f" and read back; rounding to one decimal may step just past a limit,
// and one tenth back toward zero is then inside. 0.0 when even that is outside.
ShownOffset ShowRounded(double value, bool millimetres) {
    ShownOffset shown{};
    if (FormatOffset(value, shown.text)) {
        shown.value = DecimalValue(shown.text);
        if (!OffsetWithinLimits(shown.value, millimetres)) {
            const double back = shown.value > 0 ? shown.value - 0.1 : shown.value + 0.1;
            FormatOffset(back, shown.text);
            shown.value = DecimalValue(shown.text);
        }
        if (OffsetWithinLimits(shown.value, millimetres)) return shown;
    }
    FormatOffset(0.0, shown.text);
    shown.value = 0.0;
    return shown;
}

} // namespace

ShownOffset ShowOffset(double value, bool millimetres) {
    return ShowRounded(OffsetWithinLimits(value, millimetres) ? value : 0.0, millimetres);
}

OffsetFilter FilterOffsetText(const char16_t* text, bool millimetres, double lastValue) {
    OffsetFilter result{};
    const EditText edit(text);
    // Decimal text is never blank, so the blank test is part of IsDecimalText.
    if (IsDecimalText(edit.units)) {
        const double value = DecimalValue(edit.units);
        if (OffsetWithinLimits(value, millimetres)) {
            result.accepted = true;
            result.lastValue = value;
            return result;
        }
    }
    const ShownOffset shown = ShowOffset(lastValue, millimetres);
    result.lastValue = shown.value;
    BoundedCopy(result.replacement, shown.text);
    return result;
}

OffsetStep StepOffset(const char16_t* text, bool millimetres, int32_t delta) {
    OffsetStep step{};
    const EditText edit(text);
    if (!IsDecimalText(edit.units)) return step;
    const double size = millimetres ? 1.0 : 0.1;
    const double current = DecimalValue(edit.units);
    const double next = delta < 0 ? current + size : current - size;
    if (!OffsetWithinLimits(next, millimetres)) return step;
    const ShownOffset shown = ShowRounded(next, millimetres);
    step.changed = true;
    step.value = shown.value;
    BoundedCopy(step.text, shown.text);
    return step;
}

ShownOffset ConvertOffset(double value, bool toMillimetres) {
    return ShowRounded(toMillimetres ? value * kMillimetresPerInch : value / kMillimetresPerInch,
                       toMillimetres);
}

PositionRead ReadPositionValues(const PositionControls& controls) {
    PositionRead read;
    const EditText vertical(controls.verticalText);
    const EditText horizontal(controls.horizontalText);
    read.verticalInvalid = !IsDecimalText(vertical.units);
    read.horizontalInvalid = !IsDecimalText(horizontal.units);
    read.values.verticalOffset = DecimalValue(vertical.units);
    read.values.horizontalOffset = DecimalValue(horizontal.units);
    read.values.units = controls.millimetres ? Millimeters : Inches;
    read.values.position =
        AnchorFromRadios({CheckedRow(controls.vertical), CheckedRow(controls.horizontal)});
    return read;
}

void ApplyPositionValues(const PositionValues& values, WatermarkSettings* wm) {
    if (!wm) return;
    wm->verticalOffset = values.verticalOffset;
    wm->horizontalOffset = values.horizontalOffset;
    wm->units = values.units;
    wm->position = values.position;
}

PositionValues CenteredPosition(uint8_t units) {
    PositionValues values;
    values.units = units;
    return values;
}

PositionStart OpenPosition(const WatermarkSettings& wm) {
    PositionStart start{};
    if (!RadiosForAnchor(wm.position, &start.radios)) RadiosForAnchor(Center, &start.radios);
    start.millimetres = wm.units == Millimeters;
    start.vertical = ShowOffset(wm.verticalOffset, start.millimetres);
    start.horizontal = ShowOffset(wm.horizontalOffset, start.millimetres);
    return start;
}

} // namespace cv
