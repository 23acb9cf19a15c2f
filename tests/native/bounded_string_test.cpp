#include "ui/bounded_string.h"

#include <gtest/gtest.h>

#include <string>

using namespace cv;

TEST(BoundedString, CopyStopsAtEitherEndAndTerminates) {
    char16_t dst[4];
    const char16_t unterminated[3] = {u'a', u'b', u'c'};
    EXPECT_EQ(BoundedCopy(dst, 4, unterminated, 3), 3u);
    EXPECT_EQ(std::u16string(dst), u"abc");
    EXPECT_EQ(BoundedCopyText(dst, u"abcdef"), 3u);
    EXPECT_EQ(std::u16string(dst), u"abc");
    EXPECT_EQ(BoundedCopy(dst, 4, nullptr, 0), 0u);
    EXPECT_EQ(dst[0], 0);
    EXPECT_EQ(BoundedCopy(dst, 0, u"x", 2), 0u);
    EXPECT_EQ(BoundedLength(unterminated, 3), 3u);
    EXPECT_TRUE(BoundedEqual(u"ab", 3, unterminated, 2));
    EXPECT_FALSE(BoundedEqual(u"ab", 3, unterminated, 3));
}

TEST(BoundedString, BlankAndTrim) {
    EXPECT_FALSE(IsBlankText(nullptr));
    EXPECT_TRUE(IsBlankText(u""));
    EXPECT_TRUE(IsBlankText(u" \t\u3000\r\n"));
    EXPECT_FALSE(IsBlankText(u"  x "));
    char16_t text[] = u"name \t  ";
    TrimTrailingSpaces(text);
    EXPECT_EQ(std::u16string(text), u"name \t");
    char16_t spaces[] = u"   ";
    TrimTrailingSpaces(spaces);
    EXPECT_EQ(std::u16string(spaces), u"");
}
