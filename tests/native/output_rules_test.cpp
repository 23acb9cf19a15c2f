#include "output/output_resource.h"
#include "output/output_rules.h"
#include "test_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

using namespace cv;

namespace {

std::vector<uint32_t> Offered(bool fax, bool hold) {
    OutputFeatures f;
    f.faxCard = fax;
    f.printAndHold = hold;
    uint32_t codes[6];
    return std::vector<uint32_t>(codes, codes + OfferedDestinations(f, codes));
}

TEST(OutputDestinations, ListFollowsThePrintersFeaturesInFixedOrder) {
    EXPECT_EQ(Offered(false, false), (std::vector<uint32_t>{DestPrinter}));
    EXPECT_EQ(Offered(true, false), (std::vector<uint32_t>{DestPrinter, DestFax}));
    EXPECT_EQ(Offered(false, true), (std::vector<uint32_t>{DestPrinter, DestConfidential,
                                                           DestReserve, DestRepeat, DestVerify}));
    EXPECT_EQ(Offered(true, true), (std::vector<uint32_t>{DestPrinter, DestFax, DestConfidential,
                                                          DestReserve, DestRepeat, DestVerify}));
}

TEST(OutputDestinations, CodesOutOfRangeUseNoFieldAndShowAsPrinter) {
    for (uint32_t code : {1u, 2u, 3u, 8u, 0xFFFFFFFFu}) {
        const DestinationFields f = GetDestinationFields(code);
        EXPECT_FALSE(f.pinUsed || f.userNameUsed || f.keepUsed) << code;
    }
    EXPECT_EQ(DestinationStringId(8), uint32_t(IDS_DEST_PRINTER));
    EXPECT_EQ(ShownDestination(9), uint32_t(DestPrinter));
    EXPECT_EQ(ShownDestination(DestEps), uint32_t(DestEps)) << "not offered, but not repaired";
}

TEST(OutputChecks, PinRuleDependsOnThePrintersDigits) {
    // Arabic digits are not digits; a PIN pasted past the field is never stored cut.
    constexpr uint32_t Old = IDS_PIN_DIGITS_1_6, New = IDS_PIN_DIGITS_0_9, Length = IDS_PIN_LENGTH;
    // A PIN and its problem for a printer of the old digits rule and of the new.
    // clang-format off
    const std::tuple<const char16_t*, uint32_t, uint32_t> rows[] = {
        {u"1234", 0, 0},          {u"1237", Old, 0},     {u"0123", Old, 0},
        {u"12a4", Old, New},      {u"\x0661\x0662\x0663\x0664", Old, New},
        {u"123", Length, Length}, {u"", Length, Length}, {u"12345", Length, Length}};
    // clang-format on
    for (const auto& r : rows) {
        const auto& [pin, oldRule, newRule] = r;
        EXPECT_EQ(CheckPin(pin, false), oldRule) << &r - rows;
        EXPECT_EQ(CheckPin(pin, true), newRule) << &r - rows;
    }
    EXPECT_EQ(CheckPin(nullptr, false), 0u) << "a missing control is not checked";
}

TEST(OutputChecks, UserNameRule) {
    EXPECT_EQ(CheckUserName(u""), uint32_t(IDS_USERNAME_MISSING));
    EXPECT_EQ(CheckUserName(u" \t\x3000"), uint32_t(IDS_USERNAME_MISSING));
    EXPECT_EQ(CheckUserName(u"Ann \"Bee\""), uint32_t(IDS_USERNAME_QUOTES));
    EXPECT_EQ(CheckUserName(u" x "), 0u);
    const std::u16string full(kUserNameChars, u'n');
    EXPECT_EQ(CheckUserName(full.c_str()), 0u);
    EXPECT_EQ(CheckUserName((full + u"n").c_str()), uint32_t(IDS_USERNAME_TOO_LONG));
    EXPECT_EQ(CheckUserName(nullptr), 0u);
}

TEST(OutputChecks, LeaveChecksRunInOrderAndNameTheFieldToFix) {
    using F = OutputField;
    const uint32_t Held = DestConfidential;
    // clang-format off
    const struct {
        OutputEntries e; // destination, user name, PIN, keep, recipient, fax number, station, cover
        bool faxCard;
        uint32_t cover, message;
        OutputField focus;
    } rows[] = {
        // The user name comes before the PIN.
        {{Held, u" ", u"12", 0, u"B", u"5", u"D"}, 1, 7, IDS_USERNAME_MISSING, F::UserName},
        {{Held, u"ann", u"12", 0, u"B", u"5", u"D"}, 1, 7, IDS_PIN_LENGTH, F::Pin},
        // Reserve Print uses the user name only; Printer checks nothing at all.
        {{DestReserve, u"ann", u"12", 0, u"B", u"5", u"D"}, 1, 7, 0, F::None},
        {{DestPrinter, u"", u"12", 0, u"B", u"5", u"D"}, 1, 7, 0, F::None},
        {{DestFax, u"", u"", 0, u"  ", u"", u""}, 1, 7, IDS_RECIPIENT_NAME_MISSING,
         F::RecipientName},
        {{DestFax, u"", u"", 0, u"B", u"", u""}, 1, 7, IDS_RECIPIENT_FAX_MISSING, F::RecipientFax},
        {{DestFax, u"", u"", 0, u"B", u"5", u""}, 1, 7, IDS_STATION_MISSING, F::Station},
        // A bit outside the three parts does not make a cover page.
        {{DestFax, u"", u"", 0, u"B", u"5", u"D", 1}, 1, 8, IDS_COVER_EMPTY, F::Station},
        {{DestFax, u"", u"", 0, u"B", u"5", u"D", 1}, 1, CoverComments, 0, F::None},
        {{DestFax, u"", u"", 0, u"B", u"5", u"D"}, 1, 0, 0, F::None},
        // Without a fax card the fax fields are not looked at.
        {{DestFax, u"", u"", 0, u"", u"", u""}, 0, 0, 0, F::None},
    };
    // clang-format on
    for (const auto& r : rows) {
        OutputFeatures f;
        f.faxCard = r.faxCard;
        f.printAndHold = true;
        const OutputProblem p = CheckOutputEntries(r.e, f, r.cover);
        EXPECT_EQ(p.messageId, r.message) << &r - rows;
        EXPECT_EQ(p.focus, r.focus) << &r - rows;
        EXPECT_EQ(bool(p), r.message != 0) << &r - rows;
    }
}

TEST(OutputWrite, HeldJobWritesOnlyTheFieldsItsDestinationUses) {
    PluginDevmode dm = DefaultDevmode();
    BoundedCopyText(dm.pin, u"9999");
    BoundedCopyText(dm.userName, u"old");
    OutputEntries e{DestReserve, u"ann", u"1234", true};
    FaxCover cover{};
    OutputWrites w = WriteOutputEntries(&dm, e, cover);
    EXPECT_EQ(dm.outputTo, uint32_t(DestReserve));
    EXPECT_EQ(Text(dm.pin), u"9999") << "Reserve Print leaves the PIN alone";
    EXPECT_EQ(dm.keepPreviousJobs, 1u);
    EXPECT_TRUE(w.lastUserName && !w.faxInfo);

    e.destination = DestConfidential;
    e.keepChecked = false;
    e.userName = u"abcdefghijklmnopqrstuvwxyz0123"; // longer than the field
    e.pin = u"123456";
    WriteOutputEntries(&dm, e, cover);
    EXPECT_EQ(Text(dm.pin), u"1234");
    EXPECT_EQ(Text(dm.userName), u"abcdefghijklmnopqrstuvwx");
    EXPECT_EQ(dm.keepPreviousJobs, 0u);

    e.destination = DestPrinter;
    dm.keepPreviousJobs = 1;
    w = WriteOutputEntries(&dm, e, cover);
    EXPECT_EQ(dm.outputTo, 0u);
    EXPECT_EQ(dm.keepPreviousJobs, 1u);
    EXPECT_FALSE(w.lastUserName || w.faxInfo);
}

TEST(OutputWrite, FaxTakesRecipientStationAndCoverOnlyWhenSent) {
    PluginDevmode dm = DefaultDevmode();
    BoundedCopyText(dm.fax.cover.senderName, u"Keep me");
    dm.fax.resolution = 3;
    FaxCover cover{};
    BoundedCopyText(cover.senderName, u"Sally");
    BoundedCopyText(cover.comments, u"Hi");
    cover.coverFlags = CoverSender | CoverComments;

    OutputEntries e{DestFax,     nullptr,       nullptr, false, u"Bob",
                    u"555-0100", u"Front desk", false,   true};
    OutputWrites w = WriteOutputEntries(&dm, e, cover);
    EXPECT_TRUE(w.faxInfo && !w.lastUserName);
    EXPECT_EQ(Text(dm.fax.recipientFax), u"555-0100");
    EXPECT_EQ(Text(dm.fax.station), u"Front desk");
    EXPECT_EQ(dm.fax.resolution, 0);
    EXPECT_EQ(dm.fax.sendCoverPage, 0u);
    EXPECT_EQ(Text(dm.fax.cover.senderName), u"Keep me");
    EXPECT_EQ(dm.fax.cover.coverFlags, 7u);

    e.sendCoverPage = true;
    const std::u16string longName(300, u'r');
    e.recipientName = longName.c_str();
    WriteOutputEntries(&dm, e, cover);
    EXPECT_EQ(dm.fax.sendCoverPage, 1u);
    EXPECT_EQ(Text(dm.fax.cover.senderName), u"Sally");
    EXPECT_EQ(dm.fax.cover.coverFlags, uint32_t(CoverSender | CoverComments));
    EXPECT_EQ(Text(dm.fax.recipientName), longName.substr(0, 127));
}

TEST(OutputFaxSource, StoredRecordWinsOnlyWhenItNamesARecipient) {
    FaxSettings stored{}, devmode{};
    ResetFaxSettings(&stored);
    ResetFaxSettings(&devmode);
    EXPECT_EQ(ChooseFaxSource(&stored, &devmode), &devmode);
    EXPECT_EQ(ChooseFaxSource(nullptr, &devmode), &devmode);
    BoundedCopyText(stored.recipientName, u"n");
    EXPECT_EQ(ChooseFaxSource(&stored, &devmode), &stored);
}

// The dialog's OK beyond what its controls show (the UI test covers the rest): a text longer
// than its field is cut, a part left unchecked keeps its text, bits the dialog has no box for
// stay.
TEST(OutputCover, OkCutsTextsAndKeepsWhatIsNotChecked) {
    FaxCover cover{};
    BoundedCopyText(cover.comments, u"old");
    cover.coverFlags = 0xF0 | CoverComments;
    const std::u16string address(400, u'a');
    CoverEntries e;
    e.includeSender = true;
    e.senderAddress = address.c_str();
    e.comments = u"not taken";
    ApplyCoverEntries(&cover, e);
    EXPECT_EQ(cover.coverFlags, 0xF0u | CoverSender);
    EXPECT_EQ(Text(cover.senderAddress).size(), 255u);
    EXPECT_EQ(Text(cover.comments), u"old");
    EXPECT_FALSE(CoverOkEnabled(false, false, false));
    EXPECT_TRUE(CoverOkEnabled(false, false, true));
}

TEST(OutputRegistryValues, LastUserNameIsTypeAndSizeChecked) {
    char16_t name[kUserNameChars + 1];
    const char16_t ann[] = u"ann";
    EXPECT_TRUE(DecodeLastUserName(kRegistryString, ann, sizeof ann, name));
    EXPECT_EQ(Text(name), u"ann");
    EXPECT_TRUE(DecodeLastUserName(kRegistryString, ann, 5, name)) << "unterminated, half a unit";
    EXPECT_EQ(Text(name), u"an");

    EXPECT_FALSE(DecodeLastUserName(kRegistryBinary, ann, sizeof ann, name));
    EXPECT_FALSE(DecodeLastUserName(kRegistryString, ann, 0, name));
    EXPECT_FALSE(DecodeLastUserName(kRegistryString, u"", 2, name)) << "no name to offer";
    EXPECT_EQ(name[0], 0);

    std::u16string full(kUserNameChars + 1, u'x'); // 25 units, no terminator: 50 bytes
    EXPECT_TRUE(DecodeLastUserName(kRegistryString, full.data(), 50, name));
    EXPECT_EQ(Text(name).size(), kUserNameChars);
    full.push_back(u'y');
    EXPECT_FALSE(DecodeLastUserName(kRegistryString, full.data(), 52, name));
}

TEST(OutputRegistryValues, FaxInfoIsTypeAndSizeCheckedAndRepaired) {
    FaxSettings stored{};
    ResetFaxSettings(&stored);
    BoundedCopyText(stored.recipientName, u"Bob");
    std::memset(stored.cover.comments, 'c', sizeof stored.cover.comments);
    stored.cover.coverFlags = 9;
    stored.resolution = 2;

    FaxSettings fax{};
    ASSERT_TRUE(DecodeFaxInfo(kRegistryBinary, &stored, sizeof stored, &fax));
    EXPECT_EQ(Text(fax.recipientName), u"Bob");
    EXPECT_EQ(Text(fax.cover.comments).size(), 1023u);
    EXPECT_EQ(fax.cover.coverFlags, 7u);
    EXPECT_EQ(fax.resolution, 0);

    // An older, shorter record: the rest comes from the defaults, not from what was there.
    std::memset(&fax, 0x5A, sizeof fax);
    stored.cover.coverFlags = 2;
    ASSERT_TRUE(DecodeFaxInfo(kRegistryBinary, &stored, 600, &fax));
    EXPECT_EQ(Text(fax.cover.senderName), u"");
    EXPECT_EQ(fax.cover.coverFlags, 7u);

    std::vector<unsigned char> big(sizeof(FaxSettings) + 1);
    EXPECT_FALSE(DecodeFaxInfo(kRegistryBinary, big.data(), big.size(), &fax));
    EXPECT_FALSE(DecodeFaxInfo(kRegistryString, &stored, sizeof stored, &fax));
    EXPECT_FALSE(DecodeFaxInfo(kRegistryBinary, &stored, 0, &fax));
}

} // namespace
