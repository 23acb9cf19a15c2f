// Printer names the host makes from a model's nickname, and names quoted in its messages.
#include "host/printer_name.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(PrinterName, NicknamesWindowsWouldRefuseAreMadeValid) {
    const std::u16string longName(230, u'n');
    const struct {
        std::u16string nickName;
        std::u16string name;
    } cases[] = {
        {u"HP LaserJet 4050 PS", u"HP LaserJet 4050 PS"},
        {u"HP LaserJet 4050, 4100 PS", u"HP LaserJet 4050 4100 PS"},
        {u"Lexmark X,Y,", u"Lexmark X Y"},
        {u"Xerox Phaser\\Mono", u"Xerox Phaser/Mono"},
        {longName, longName.substr(0, 220)},
        {std::u16string(219, u'a') + u" b", std::u16string(219, u'a')},
        {std::u16string(219, u'a') + u"\U0001F5A8", std::u16string(219, u'a')},
        {std::u16string(218, u'a') + u"\U0001F5A8", std::u16string(218, u'a') + u"\U0001F5A8"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(cvhost::ValidPrinterName(c.nickName), c.name) << c.nickName.size();
}

TEST(PrinterName, LongNamesAreCutInMessages) {
    EXPECT_EQ(cvhost::CutForMessage(u"Short", 10), u"Short");
    EXPECT_EQ(cvhost::CutForMessage(u"0123456789", 10), u"0123456789");
    EXPECT_EQ(cvhost::CutForMessage(u"0123456789A", 10), u"0123456...");
    EXPECT_EQ(cvhost::CutForMessage(u"012345\U0001F5A8xyz", 10), u"012345...");
}

} // namespace
