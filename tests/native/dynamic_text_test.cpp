#include "watermark/dynamic_text.h"

#include "fixed_platform.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

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
    const bool ok = ExpandWatermarkText(p, FixedPrinterHandle(), nullptr, text.c_str(), page,
                                        p.now, mode, out, &capacity);
    return {ok, ok ? std::u16string(out) : std::u16string(), capacity};
}

std::u16string Preview(FixedPlatform& p, const std::u16string& text, int32_t page = 1) {
    const Expansion e = Expand(p, text, kPreview, page);
    EXPECT_TRUE(e.ok) << "preview of a text that should expand failed";
    EXPECT_EQ(e.capacity, e.text.size() + 1);
    return e.text;
}

bool Valid(FixedPlatform& p, const std::u16string& text) { return Expand(p, text, kValidate).ok; }

} // namespace

TEST(DynamicText, DefaultTextsInBothModes) {
    FixedPlatform p;
    EXPECT_EQ(Preview(p, u"User:  %Username%"), u"User:  jdoe");
    EXPECT_TRUE(Valid(p, u"User:  %Username%"));
    EXPECT_EQ(Preview(p, u"%Time% %DateLong%"), u"2:05:09 PM Thursday, March 7, 2024");
    EXPECT_TRUE(Valid(p, u"%Time% %DateLong%"));
    // The editor's check works without ever asking for the user name.
    p.user.clear();
    EXPECT_TRUE(ValidateWatermarkText(p, FixedPrinterHandle(), nullptr, u"User:  %Username%"));
    EXPECT_EQ(Preview(p, u"User:  %Username%"), u"User:  ");
}

TEST(DynamicText, EveryVariableLetterCaseAside) {
    FixedPlatform p;
    EXPECT_EQ(Preview(p, u"%USERNAME%|%dateshort%|%DateDDMMYYYY%"), u"jdoe|3/7/2024|07/03/2024");
    EXPECT_EQ(Preview(p, u"%time%|%TIMEMIL%|%TimeHrMn%"), u"2:05:09 PM|14:05:09|2:05 PM");
    EXPECT_EQ(Preview(p, u"%pagenumber%|%HostName%|%printer%|%ModelName%"),
              u"1|PRINTHOST|Corvane Laser 9000|Corvane PS Driver");
    EXPECT_EQ(p.computerNameCapacity, kComputerNameCapacity);
    EXPECT_EQ(Preview(p, u"p%PageNumber%", -42), u"p-42");
    EXPECT_EQ(Preview(p, u"%PageNumber%", 0), u"0");
    EXPECT_EQ(Preview(p, u"%PageNumber%", INT_MIN), u"-2147483648");
    // Letter case folds for ASCII only, as in the C locale.
    EXPECT_EQ(Preview(p, u"[%\u0130ime%]"), u"[]");
}

// The two operations the expansion is built from, on their own.
TEST(DynamicText, MatchAndExpandOneVariable) {
    FixedPlatform p;
    EXPECT_TRUE(MatchVariable(p, kVariableUserName, u"%USERNAME% x", 10));
    EXPECT_FALSE(MatchVariable(p, kVariableUserName, u"%Username", 9));
    EXPECT_FALSE(MatchVariable(p, kVariableUserName, u"%Username%", 11)) << "past the text";
    const std::u16string huge = u"%Username%" + std::u16string(kDynamicTextCapacity - 10, u'x');
    EXPECT_FALSE(MatchVariable(p, kVariableUserName, huge.c_str(), huge.size()));
    char16_t out[kDynamicTextCapacity] = u"ab";
    size_t length = 2;
    EXPECT_TRUE(ExpandVariable(p, FixedPrinterHandle(), nullptr, u"%pagenumber%", 12, out,
                               &length, kPreview, 7, p.now));
    EXPECT_EQ(std::u16string(out), u"ab7");
    EXPECT_TRUE(ExpandVariable(p, FixedPrinterHandle(), nullptr, u"%Username%", 10, out, &length,
                               kValidate, 1, p.now));
    EXPECT_EQ(length, 3u) << "recognised, nothing appended";
    EXPECT_FALSE(ExpandVariable(p, FixedPrinterHandle(), nullptr, u"%nosuch%", 8, out, &length,
                                kPreview, 1, p.now));
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

TEST(DynamicText, UnterminatedDelimiter) {
    FixedPlatform p;
    // The delimiter, the characters up to the next space and the space vanish.
    EXPECT_EQ(Preview(p, u"ab%cd ef"), u"abef");
    EXPECT_EQ(Preview(p, u"a % b"), u"a b");
    EXPECT_EQ(Preview(p, u"%Username"), u"");
    EXPECT_EQ(Preview(p, u"x %Username% 5%"), u"x jdoe 5");
    EXPECT_EQ(Preview(p, u"ab%cd "), u"ab");
    EXPECT_FALSE(Valid(p, u"ab%cd ef"));
    EXPECT_FALSE(Valid(p, u"%Username"));
    EXPECT_FALSE(Valid(p, u"%Username% 5%"));
}

TEST(DynamicText, UnknownOrUnobtainableVariables) {
    FixedPlatform p;
    EXPECT_EQ(Preview(p, u"%nosuch% word"), u" word");
    EXPECT_FALSE(Valid(p, u"%nosuch% word"));
    // A prefix of a variable is not the variable, nor a variable with more after it.
    EXPECT_EQ(Preview(p, u"<%tim%><%timemilx%><%time>"), u"<><><");
    p.failDates = true;
    EXPECT_EQ(Preview(p, u"on %DateLong%."), u"on .");
    EXPECT_FALSE(Valid(p, u"on %DateLong%."));
    p.strings.erase(kVariableHostName); // a variable whose name cannot be loaded is unknown
    EXPECT_EQ(Preview(p, u"[%hostname%]"), u"[]");
    EXPECT_TRUE(Valid(p, u"%Time%"));
}

TEST(DynamicText, EmptyAndMissingArguments) {
    FixedPlatform p;
    for (ExpansionMode mode : {kPreview, kValidate}) {
        const Expansion e = Expand(p, u"", mode);
        EXPECT_TRUE(e.ok);
        EXPECT_EQ(e.capacity, 1u);
        EXPECT_EQ(e.text, u"");
    }
    char16_t out[8];
    size_t capacity = 8;
    EXPECT_FALSE(ExpandWatermarkText(p, FixedPrinterHandle(), nullptr, nullptr, 1, p.now,
                                     kPreview, out, &capacity));
    EXPECT_EQ(capacity, 0u);
    capacity = 8;
    EXPECT_FALSE(
        ExpandWatermarkText(p, nullptr, nullptr, u"abc", 1, p.now, kPreview, out, &capacity));
    EXPECT_EQ(capacity, 0u);
    EXPECT_FALSE(ValidateWatermarkText(p, nullptr, nullptr, u"abc"));
}

TEST(DynamicText, CapacityProtocol) {
    FixedPlatform p;
    const char16_t* text = u"User:  %Username%"; // 11 units and a terminator
    size_t capacity = 0;
    EXPECT_TRUE(ExpandWatermarkText(p, FixedPrinterHandle(), nullptr, text, 1, p.now, kPreview,
                                    nullptr, &capacity));
    EXPECT_EQ(capacity, 12u);

    char16_t small[11];
    std::fill(std::begin(small), std::end(small), u'#');
    capacity = 11;
    EXPECT_TRUE(ExpandWatermarkText(p, FixedPrinterHandle(), nullptr, text, 1, p.now, kPreview,
                                    small, &capacity));
    EXPECT_EQ(capacity, 12u);
    EXPECT_EQ(small[0], u'#') << "a buffer that is too small stays untouched";

    char16_t exact[12];
    capacity = 12;
    EXPECT_TRUE(ExpandWatermarkText(p, FixedPrinterHandle(), nullptr, text, 1, p.now, kPreview,
                                    exact, &capacity));
    EXPECT_EQ(std::u16string(exact), u"User:  jdoe");
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
