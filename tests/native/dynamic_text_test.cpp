#include "watermark/dynamic_text.h"

#include "fixed_platform.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <tuple>

using namespace cv;
using cv::testing::FixedPlatform;
using cv::testing::FixedPrinterHandle;

namespace {

constexpr ExpansionMode kPreview = ExpansionMode::Preview;
constexpr ExpansionMode kValidate = ExpansionMode::Validate;

struct Expansion {
    bool ok;
    std::u16string text;
    size_t capacity;
};

Expansion Expand(FixedPlatform& p, const std::u16string& text, ExpansionMode mode,
                 int32_t page = 1) {
    char16_t out[kDynamicTextCapacity];
    out[0] = u'?';
    size_t capacity = kDynamicTextCapacity;
    const bool ok = ExpandWatermarkText(p, FixedPrinterHandle(), nullptr, text.c_str(), page, p.now,
                                        mode, out, &capacity);
    return {ok, ok ? std::u16string(out) : std::u16string(), capacity};
}

std::u16string Preview(FixedPlatform& p, const std::u16string& text, int32_t page = 1) {
    const Expansion e = Expand(p, text, kPreview, page);
    EXPECT_TRUE(e.ok) << "preview of a text that should expand failed";
    EXPECT_EQ(e.capacity, e.text.size() + 1);
    return e.text;
}

bool Valid(FixedPlatform& p, const std::u16string& text) {
    return Expand(p, text, kValidate).ok;
}

} // namespace

// What the preview shows and whether the editor takes the text (-1: not asked).
TEST(DynamicText, PreviewAndValidation) {
    const std::tuple<const char16_t*, int32_t, const char16_t*, int> rows[] = {
        {u"User:  %Username%", 1, u"User:  jdoe", 1},
        {u"%Time% %DateLong%", 1, u"2:05:09 PM Thursday, March 7, 2024", 1},
        // Every variable, letter case aside (folded for ASCII only, as in the C locale).
        {u"%USERNAME%|%dateshort%|%DateDDMMYYYY%", 1, u"jdoe|3/7/2024|07/03/2024", 1},
        {u"%time%|%TIMEMIL%|%TimeHrMn%", 1, u"2:05:09 PM|14:05:09|2:05 PM", 1},
        {u"%pagenumber%|%HostName%|%printer%|%ModelName%", 1,
         u"1|PRINTHOST|Corvane Laser 9000|Corvane PS Driver", 1},
        {u"%PageNumber%", INT_MIN, u"-2147483648", -1},
        {u"[%\u0130ime%]", 1, u"[]", 0},
        // An unterminated delimiter: it, the characters up to the next space and the space vanish.
        {u"ab%cd ef", 1, u"abef", 0},
        {u"%Username", 1, u"", 0},
        {u"x %Username% 5%", 1, u"x jdoe 5", 0},
        {u"ab%cd ", 1, u"ab", -1},
        // Unknown variables vanish; a prefix of a variable, or one with more after it, is unknown.
        {u"%nosuch% word", 1, u" word", 0},
        {u"<%tim%><%timemilx%><%time>", 1, u"<><><", -1},
    };
    FixedPlatform p;
    for (const auto& r : rows) {
        const auto& [text, page, preview, valid] = r;
        EXPECT_EQ(Preview(p, text, page), preview) << &r - rows;
        if (valid >= 0) {
            EXPECT_EQ(Valid(p, text), valid != 0) << &r - rows;
        }
    }
    // The editor's check works without ever asking for the user name.
    p.user.clear();
    EXPECT_TRUE(ValidateWatermarkText(p, FixedPrinterHandle(), nullptr, u"User:  %Username%"));
    EXPECT_EQ(Preview(p, u"User:  %Username%"), u"User:  ");
    EXPECT_EQ(p.computerNameCapacity, kComputerNameCapacity);
    // A value the platform cannot give makes its variable unknown.
    p.failDates = true;
    EXPECT_EQ(Preview(p, u"on %DateLong%."), u"on .");
    EXPECT_FALSE(Valid(p, u"on %DateLong%."));
    p.strings.erase(kVariableHostName);
    EXPECT_EQ(Preview(p, u"[%hostname%]"), u"[]");
    EXPECT_TRUE(Valid(p, u"%Time%"));
}

TEST(DynamicText, DoubledDelimiterIsOneDelimiter) {
    FixedPlatform p;
    for (ExpansionMode mode : {kPreview, kValidate}) {
        EXPECT_EQ(Expand(p, u"100%% sure", mode).text, u"100% sure");
        EXPECT_EQ(Expand(p, u"%%%%%%", mode).text, u"%%%");
        EXPECT_EQ(Expand(p, u"%%%Time%", mode).text, u"%2:05:09 PM");
    }
    // Without a delimiter string the delimiter is '%', and "%%" still gives one.
    p.strings.erase(kDelimiterTextId);
    EXPECT_EQ(Preview(p, u"a%%b%pagenumber%"), u"a%b1");
    // Another delimiter: the doubled one gives the whole delimiter text.
    p.strings[kDelimiterTextId] = u"#";
    EXPECT_EQ(Preview(p, u"50## %Username%"), u"50# %Username%");
}

// The caller asks for the size first; a text that is missing or has no printer gives nothing.
TEST(DynamicText, CapacityProtocolAndMissingArguments) {
    FixedPlatform p;
    auto ask = [&p](char16_t* out, size_t capacity) {
        EXPECT_TRUE(ExpandWatermarkText(p, FixedPrinterHandle(), nullptr, u"User:  %Username%", 1,
                                        p.now, kPreview, out, &capacity));
        return capacity;
    };
    EXPECT_EQ(ask(nullptr, 0), 12u); // 11 units and a terminator
    char16_t small[11] = {u'#'};
    EXPECT_EQ(ask(small, 11), 12u);
    EXPECT_EQ(small[0], u'#') << "a buffer that is too small stays untouched";
    char16_t exact[12];
    EXPECT_EQ(ask(exact, 12), 12u);
    EXPECT_EQ(std::u16string(exact), u"User:  jdoe");
    for (ExpansionMode mode : {kPreview, kValidate})
        EXPECT_EQ(Expand(p, u"", mode).capacity, 1u);
    char16_t out[8];
    size_t capacity = 8;
    EXPECT_FALSE(ExpandWatermarkText(p, FixedPrinterHandle(), nullptr, nullptr, 1, p.now, kPreview,
                                     out, &capacity));
    EXPECT_EQ(capacity, 0u);
    capacity = 8;
    EXPECT_FALSE(
        ExpandWatermarkText(p, nullptr, nullptr, u"abc", 1, p.now, kPreview, out, &capacity));
    EXPECT_EQ(capacity, 0u);
    EXPECT_FALSE(ValidateWatermarkText(p, nullptr, nullptr, u"abc"));
}

TEST(DynamicText, LengthLimits) {
    FixedPlatform p;
    const std::u16string longest(kDynamicTextCapacity - 1, u'a');
    EXPECT_EQ(Preview(p, longest), longest);
    EXPECT_FALSE(Expand(p, longest + u"a", kPreview).ok);
    EXPECT_EQ(Expand(p, longest + u"a", kPreview).capacity, 0u);

    // A value may bring the result to 2046 units; literal text and "%%" to 2047.
    p.user.assign(2046, u'u');
    EXPECT_EQ(Preview(p, u"%Username%x").size(), 2047u);
    EXPECT_EQ(Preview(p, u"%Username%%%").size(), 2047u);
    EXPECT_FALSE(Expand(p, u"%Username%xy", kPreview).ok);
    EXPECT_FALSE(Expand(p, u"%Username%%%%%", kPreview).ok);
    EXPECT_FALSE(Expand(p, u"x%Username%", kPreview).ok);
    EXPECT_FALSE(Expand(p, u"%Username%%pagenumber%", kPreview).ok)
        << "a value that does not fit fails the preview rather than vanishing";
    EXPECT_TRUE(Expand(p, u"%Username%%pagenumber%", kValidate).ok) << "no user name asked";

    // A token is looked at only while the result and the token stay within the buffer, even an
    // unknown one that would vanish.
    p.user.assign(2000, u'u');
    const std::u16string token48 = u"%" + std::u16string(46, u'z') + u"%";
    EXPECT_EQ(Preview(p, u"%Username%" + token48).size(), 2000u);
    EXPECT_FALSE(Expand(p, u"%Username%%z" + token48.substr(1), kPreview).ok);

    // A platform that claims more than its buffer is not trusted.
    struct Lying : FixedPlatform {
        size_t UserName(char16_t*, size_t capacity) override { return capacity; }
    } lying;
    EXPECT_EQ(Preview(lying, u"[%Username%]"), u"[]");
}
