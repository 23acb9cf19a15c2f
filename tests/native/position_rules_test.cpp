#include "watermark/position_rules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <tuple>

using namespace cv;

namespace {

std::u16string Formatted(double value) {
    char16_t text[kOffsetTextCapacity];
    FormatOffset(value, text);
    return text;
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

} // namespace

TEST(PositionRadios, AnchorCodesAndTheirButtons) {
    // An anchor code and its vertical and horizontal radio.
    const std::tuple<uint32_t, uint8_t, uint8_t> rows[] = {{0, 1, 1}, {1, 2, 0}, {2, 0, 0},
                                                           {3, 1, 0}, {4, 2, 1}, {5, 0, 1},
                                                           {6, 2, 2}, {7, 0, 2}, {8, 1, 2}};
    for (const auto& [code, vertical, horizontal] : rows) {
        AnchorRadios radios{9, 9};
        ASSERT_TRUE(RadiosForAnchor(code, &radios)) << code;
        EXPECT_EQ(radios.vertical, vertical) << code;
        EXPECT_EQ(radios.horizontal, horizontal) << code;
        EXPECT_EQ(AnchorFromRadios({vertical, horizontal}), code);
    }
    AnchorRadios untouched{1, 1};
    EXPECT_FALSE(RadiosForAnchor(9, &untouched));
    EXPECT_FALSE(RadiosForAnchor(Center, nullptr));
    EXPECT_EQ(untouched.vertical, 1);

    const bool none[3] = {}, lastTwo[3] = {false, true, true}, firstLast[3] = {true, false, true};
    EXPECT_EQ(CheckedRow(none), 2) << "none checked counts as the last";
    EXPECT_EQ(CheckedRow(lastTwo), 1) << "the first checked counts";
    EXPECT_EQ(CheckedRow(firstLast), 0);
    EXPECT_EQ(AnchorFromRadios({7, 0}), uint32_t(BottomLeft));
    EXPECT_EQ(AnchorFromRadios({0, 3}), uint32_t(TopRight));
}

TEST(PositionText, DecimalTextAndItsValue) {
    // Refused texts are never valued, but for a few that read as wcstod reads them. U+00B2 is a
    // superscript two, which some runtimes class as a digit; U+0661 an Arabic-Indic one.
    // clang-format off
    const std::tuple<const char16_t*, bool, double> rows[] = {
        {u"1.5", true, 1.5}, {u"-1.5", true, -1.5}, {u"-", true, 0.0}, {u".", true, 0.0},
        {u"5.", true, 5.0}, {u"-.5", true, -0.5}, {u"9999.9", true, 9999.9},
        {u"253997.46", true, 253997.46}, {u"", false, 0.0}, {u"1..5", false, 1.0},
        {u"1-5", false, 1.0}, {u" 1", false, kNaN}, {u"+1", false, kNaN},
        {u"\xFF11", false, kNaN}, {u"\x00B2", false, kNaN}, {u"\x0661", false, kNaN}};
    // clang-format on
    for (const auto& [text, decimal, value] : rows) {
        EXPECT_EQ(IsDecimalText(text), decimal) << value;
        if (!std::isnan(value)) {
            EXPECT_EQ(DecimalValue(text), value);
        }
    }
    EXPECT_FALSE(IsDecimalText(nullptr));
    EXPECT_TRUE(std::signbit(DecimalValue(u"-0"))) << "wcstod keeps the sign of -0";
    EXPECT_FALSE(std::signbit(DecimalValue(u"-"))) << "nothing converted, no sign taken";
    // Beyond the exact path (more than 15 digits, more than 22 decimals).
    EXPECT_EQ(DecimalValue(u"12345678901234567890"), 12345678901234567890.0);
    EXPECT_EQ(DecimalValue(u"0.000000000000000000000001"), 1e-24);
}

TEST(PositionText, OneDecimalAsTheRuntimePrintsIt) {
    // 0.05 and 9999.95 are stored just above a twentieth, 0.15 just below; 0.25, 0.75 and
    // -1.25 are exactly halfway and go to the even digit.
    // clang-format off
    const std::pair<double, const char16_t*> rows[] = {
        {0.0, u"0.0"}, {-0.0, u"-0.0"}, {-0.04, u"-0.0"}, {0.05, u"0.1"}, {0.15, u"0.1"},
        {0.25, u"0.2"}, {0.75, u"0.8"}, {-1.25, u"-1.2"}, {2.5, u"2.5"}, {1.1, u"1.1"},
        {10.0 / 25.4, u"0.4"}, {9999.95, u"10000.0"}, {253997.46, u"253997.5"},
        {1e-300, u"0.0"}, {0.04999999999999999, u"0.0"},
        {4503599627370497.0, u"4503599627370497.0"}, {1e18, u"1000000000000000000.0"}};
    // clang-format on
    for (const auto& [value, text] : rows)
        EXPECT_EQ(Formatted(value), text) << value;

    char16_t text[kOffsetTextCapacity] = u"x";
    for (double bad : {kNaN, std::numeric_limits<double>::infinity(), 9223372036854775808.0}) {
        EXPECT_FALSE(FormatOffset(bad, text)) << bad;
        EXPECT_EQ(text[0], 0);
    }
}

// The C library of this build rounds "%.1f" as the Universal CRT does; compare over every
// tenth and twentieth the dialog can show and over random values.
TEST(PositionText, OneDecimalAgreesWithTheCLibrary) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> spread(-300000.0, 300000.0);
    auto check = [](double v) {
        char expected[64];
        std::snprintf(expected, sizeof expected, "%.1f", v);
        ASSERT_EQ(Formatted(v), std::u16string(expected, expected + std::strlen(expected)));
    };
    for (int k = -5080000; k <= 5080000; k += 37)
        check(k / 20.0);
    for (int i = 0; i < 50000; ++i)
        check(spread(random));
    for (int i = 0; i < 2000; ++i)
        check(std::ldexp(spread(random), -40));
}

// A stored offset as the dialog shows it (the last three damaged), and one converted at a switch
// of units (9999.9 inches are 253997.46 millimetres): the value and its text stay within the
// limits, as "253997.5" would not.
TEST(PositionText, ShownAndConvertedOffsetsStayWithinTheLimits) {
    // Converted or shown, the value, in (or to) millimetres, then the value and text shown.
    // clang-format off
    const std::tuple<bool, double, bool, double, const char16_t*> rows[] = {
        {false, 1.25, false, 1.2, u"1.2"},       {false, 9999.9, false, 9999.9, u"9999.9"},
        {false, -9999.9, false, -9999.9, u"-9999.9"},
        {false, 253997.46, true, 253997.4, u"253997.4"},
        {false, 20000.0, false, 0.0, u"0.0"},    {false, 1e300, true, 0.0, u"0.0"},
        {false, kNaN, false, 0.0, u"0.0"},       {true, 1.5, true, 38.1, u"38.1"},
        {true, 10.0, false, 0.4, u"0.4"},        {true, 9999.9, true, 253997.4, u"253997.4"},
        {true, -9999.9, true, -253997.4, u"-253997.4"}, {true, 253997.4, false, 9999.9, u"9999.9"}};
    // clang-format on
    for (const auto& [converted, value, millimetres, shown, text] : rows) {
        const ShownOffset s =
            converted ? ConvertOffset(value, millimetres) : ShowOffset(value, millimetres);
        EXPECT_EQ(s.value, shown) << value;
        EXPECT_EQ(std::u16string(s.text), text) << value;
    }
    EXPECT_FALSE(OffsetWithinLimits(kNaN, true));
}

// An accepted text has no replacement; a refused one is replaced by the last value as shown.
TEST(PositionFilter, EditKeepsOnlyAcceptedText) {
    // The read is cut to 10 characters; an emptied edit takes the last value at once.
    // The text, in millimetres, the last value, the last value then and the replacement.
    // clang-format off
    const std::tuple<const char16_t*, bool, double, double, const char16_t*> rows[] = {
        {u"1.5", false, 0.0, 1.5, u""}, {u"-", false, 3.0, 0.0, u""},
        {u"-9999.9", false, 3.0, -9999.9, u""}, {u"10000", true, 1.0, 10000.0, u""},
        {u"0.12345678x", false, 1.0, 0.12345678, u""}, {u"1..5", false, 2.0, 2.0, u"2.0"},
        {u"", false, 1.25, 1.2, u"1.2"}, {u"10000", false, 1.0, 1.0, u"1.0"},
        {u"-9999.95", false, 4.0, 4.0, u"4.0"}, {u"12345678901", true, 5.0, 5.0, u"5.0"},
        {u"253997.5", true, 253997.46, 253997.4, u"253997.4"}, {u"x", false, 20000.0, 0.0, u"0.0"}};
    // clang-format on
    for (const auto& [text, millimetres, last, newLast, replacement] : rows) {
        const OffsetFilter f = FilterOffsetText(text, millimetres, last);
        EXPECT_EQ(f.accepted, !*replacement) << last;
        EXPECT_EQ(f.lastValue, newLast) << last;
        EXPECT_EQ(std::u16string(f.replacement), replacement) << last;
        if (!f.accepted) {
            // Setting the replacement notifies again; that round must end the exchange.
            const OffsetFilter again = FilterOffsetText(f.replacement, millimetres, f.lastValue);
            EXPECT_TRUE(again.accepted) << last;
            EXPECT_EQ(again.lastValue, f.lastValue) << last;
        }
    }
}

// The up arrow sends -1 and raises the value; a step out of the limits changes nothing.
TEST(PositionStep, UpDownMovesByATenthOfAnInchOrAMillimetre) {
    // The text, in millimetres, the arrow's delta, then the value and text shown (none: no step).
    // clang-format off
    const std::tuple<const char16_t*, bool, int32_t, double, const char16_t*> rows[] = {
        {u"1.0", false, -1, 1.1, u"1.1"}, {u"1.0", true, -1, 2.0, u"2.0"},
        {u"1.0", false, 1, 0.9, u"0.9"}, {u"1.0", false, 0, 0.9, u"0.9"},
        {u"-", true, -1, 1.0, u"1.0"}, {u"-9999.9", false, 1, 0.0, u""},
        {u"9999.9", false, -1, 0.0, u""}, {u"253997.4", true, -1, 0.0, u""},
        {u"253996.46", true, -1, 253997.4, u"253997.4"}, {u"1.0x", false, -1, 0.0, u""}};
    // clang-format on
    for (const auto& r : rows) {
        const auto& [text, millimetres, delta, value, shown] = r;
        const OffsetStep s = StepOffset(text, millimetres, delta);
        EXPECT_EQ(std::make_tuple(s.changed, s.value, std::u16string(s.text)),
                  std::make_tuple(*shown != 0, value, std::u16string(shown)))
            << &r - rows;
    }
}

TEST(PositionRead, BothEditsAreTestedAndTheRadiosGiveTheAnchor) {
    PositionControls c;
    c.verticalText = u"1.5";
    c.horizontalText = u"-2";
    c.millimetres = true;
    c.vertical[2] = true;   // &Bottom
    c.horizontal[1] = true; // Ce&nter
    PositionRead r = ReadPositionValues(c);
    ASSERT_TRUE(r);
    EXPECT_EQ(r.values.verticalOffset, 1.5);
    EXPECT_EQ(r.values.horizontalOffset, -2.0);
    EXPECT_EQ(r.values.units, Millimeters);
    EXPECT_EQ(r.values.position, uint32_t(BottomCenter));

    c.vertical[0] = true; // &Top, before the still checked &Bottom
    c.horizontal[0] = true;
    EXPECT_EQ(ReadPositionValues(c).values.position, uint32_t(TopLeft));

    c.millimetres = false;
    c.horizontalText = u"2..0";
    r = ReadPositionValues(c);
    EXPECT_FALSE(r);
    EXPECT_FALSE(r.verticalInvalid);
    EXPECT_TRUE(r.horizontalInvalid);
    EXPECT_EQ(r.values.units, Inches);

    c.verticalText = nullptr;
    r = ReadPositionValues(c);
    EXPECT_TRUE(r.verticalInvalid && r.horizontalInvalid) << "two messages, vertical first";
}

TEST(PositionOpen, ShowsTheRecordRepairedAndCentreResetsOnlyThePosition) {
    WatermarkSettings wm{};
    ResetWatermark(&wm);
    wm.position = TopRight;
    wm.units = Millimeters;
    wm.verticalOffset = 12.25;
    wm.horizontalOffset = kNaN;
    PositionStart s = OpenPosition(wm);
    EXPECT_EQ(s.radios.vertical, 0);
    EXPECT_EQ(s.radios.horizontal, 2);
    EXPECT_TRUE(s.millimetres);
    EXPECT_EQ(std::u16string(s.vertical.text), u"12.2") << "as stored, no conversion";
    EXPECT_EQ(std::u16string(s.horizontal.text), u"0.0");

    wm.position = 12;
    wm.units = 7; // anything but 0 is inches
    wm.verticalOffset = 10000.0;
    s = OpenPosition(wm);
    EXPECT_EQ(s.radios.vertical, 1);
    EXPECT_EQ(s.radios.horizontal, 1);
    EXPECT_FALSE(s.millimetres);
    EXPECT_EQ(s.vertical.value, 0.0);

    wm.verticalOffset = 1.5;
    wm.horizontalOffset = -2.0;
    ApplyPositionValues(CenteredPosition(Millimeters), &wm);
    EXPECT_EQ(wm.verticalOffset, 0.0);
    EXPECT_EQ(wm.horizontalOffset, 0.0);
    EXPECT_EQ(wm.position, uint32_t(Center));
    EXPECT_EQ(wm.units, Millimeters);
    ApplyPositionValues(CenteredPosition(Inches), nullptr);
}
