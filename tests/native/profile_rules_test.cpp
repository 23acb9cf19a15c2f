#include "profiles/profile_rules.h"

#include "profiles/profiles_resource.h"
#include "test_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

using namespace cv;

namespace {

ProfileItem List(uint8_t dmPubId, uint16_t count, int32_t sel, const char16_t* name = nullptr,
                 uint16_t nameId = 0) {
    ProfileItem item;
    item.dmPubId = dmPubId;
    item.nameText = name;
    item.nameId = nameId;
    item.hasType = true;
    item.type = kTypeComboBox;
    item.count = count;
    item.sel = sel;
    return item;
}

ProfileItem Edit(const char16_t* name, const char16_t* text, uint16_t capacity) {
    ProfileItem item;
    item.hasType = true;
    item.type = kTypeEditBox;
    item.nameText = name;
    item.text = text;
    item.textCapacity = capacity;
    return item;
}

StoredValue Bytes(const std::u16string& name, uint32_t type, const void* data, size_t size) {
    StoredValue s;
    s.name = name;
    s.type = type;
    s.data.assign(static_cast<const unsigned char*>(data),
                  static_cast<const unsigned char*>(data) + size);
    return s;
}

StoredValue Dword(const std::u16string& name, int32_t v) {
    return Bytes(name, kRegistryDword, &v, sizeof v);
}

StoredValue Text(const std::u16string& name, const std::u16string& text) {
    return Bytes(name, kRegistryString, text.c_str(), (text.size() + 1) * 2);
}

StoredValue Image(const PluginDevmode& dm) {
    return Bytes(u"CustomDevData", kRegistryBinary, &dm, sizeof dm);
}

} // namespace

TEST(ProfileRules, ValueNamesAndTheItemsTheyFindAgain) {
    const std::u16string longName(130, u'n');
    ProfileItem items[] = {
        List(0, 2, 0, u"Halftone"),      // 0: named by a text
        List(7, 3, 0),                   // 1: the duplex item
        List(0, 4, 0, nullptr, 2001),    // 2: named by a string number
        List(7, 3, 0),                   // 3: a second item of the same DMPubID
        List(0, 2, 0, longName.c_str()), // 4: a name longer than a value name
        List(0, 2, 0, nullptr, 0),       // 5: no name at all (string number 0)
    };
    EXPECT_EQ(ItemValueName(items[0]), u"Halftone");
    EXPECT_EQ(ItemValueName(items[1]), u"7");
    EXPECT_EQ(ItemValueName(items[2]), u"2001");
    EXPECT_EQ(ItemValueName(items[4]), longName.substr(0, 127));
    ProfileItem big = List(255, 2, 0, u"ignored");
    EXPECT_EQ(ItemValueName(big), u"255") << "a DMPubID names the item before its text";

    // clang-format off
    const std::pair<std::u16string, ptrdiff_t> cases[] = {
        {u"Halftone", 0}, {u"halftone", -1} /* texts match exactly */, {u"7", 1} /* the first */,
        {u"007", 1}, {u" 7 copies", 1}, {u"2001", 2}, {longName.substr(0, 127), 4}, {u"0", 5},
        {u"Tray", -1} /* no number: no nameless item */, {u"2002", -1},
        {u"CustomDevData", -1}, {u"customdevdata", -1} /* never an item's */};
    // clang-format on
    for (const auto& [name, item] : cases)
        EXPECT_EQ(MatchStoredName(name.c_str(), items, std::size(items)), item)
            << std::string(name.begin(), name.end());
    EXPECT_EQ(MatchStoredName(u"Halftone", items, 0), -1);
}

TEST(ProfileRules, LeadingIntegerReadsAsWtoi) {
    // clang-format off
    const std::pair<const char16_t*, int32_t> cases[] = {
        {u"", 0}, {u"12", 12}, {u" \t-5", -5}, {u"+3", 3}, {u"12abc", 12}, {u"abc", 0}, {u"- 4", 0},
        {u"2147483647", INT32_MAX}, {u"99999999999999999999", INT32_MAX},
        {u"-2147483647", -INT32_MAX}, {u"-2147483648", INT32_MIN},
        {u"-99999999999999999999", INT32_MIN}};
    // clang-format on
    for (const auto& [text, value] : cases)
        EXPECT_EQ(LeadingInteger(text), value) << value;
    EXPECT_EQ(LeadingInteger(nullptr), 0);
}

TEST(ProfileRules, StoredSelectionsAreTakenOnlyWhenTheItemCanShowThem) {
    ProfileItem list = List(0, 3, 0);
    ProfileItem twoStates = list;
    twoStates.type = kTypeTwoStates;
    twoStates.count = 2;
    ProfileItem updown = List(0, 2, 0);
    updown.type = kTypeUpDown;
    updown.hasRange = true;
    updown.low = -5;
    updown.high = 5;
    ProfileItem openNumber = updown;
    openNumber.hasRange = false;
    ProfileItem check = List(0, 1, 0);
    check.type = 9; // TVOT_CHKBOX keeps nothing
    ProfileItem noType;
    const uint64_t eight = 2;
    const auto n = [](int32_t v) { return Dword(u"x", v); };
    const StoredValue binary = Bytes(u"x", kRegistryBinary, "\x01\0\0\0", 4),
                      wide = Bytes(u"x", kRegistryDword, &eight, 8),
                      narrow = Bytes(u"x", kRegistryDword, "\x01", 1);
    // An item, a stored value, whether the item takes it and the selection then.
    const std::tuple<const ProfileItem*, StoredValue, bool, int32_t> cases[] = {
        {&list, n(2), true, 2},           {&list, n(3), false, 0},    {&list, n(-1), false, 0},
        {&twoStates, n(2), false, 0},     {&updown, n(-5), true, -5}, {&updown, n(6), false, 0},
        {&openNumber, n(900), true, 900}, {&check, n(1), false, 0},   {&noType, n(1), false, 0},
        {&list, binary, false, 0},        {&list, wide, false, 0},    {&list, narrow, false, 0}};
    for (const auto& c : cases) {
        const auto& [item, value, taken, want] = c;
        int32_t sel = 0;
        EXPECT_EQ(DecodeStoredSelection(*item, value, &sel), taken) << &c - cases;
        EXPECT_EQ(sel, want) << &c - cases;
    }
}

TEST(ProfileRules, StoredTextsFitTheEditItemsBuffer) {
    char16_t buffer[5] = u"ab";
    const ProfileItem edit = Edit(nullptr, buffer, 5);
    ProfileItem withoutText = edit;
    withoutText.text = nullptr;
    const char16_t embedded[] = u"xy\0zz";
    // An item, a stored value, whether the item takes it and the text then.
    const std::tuple<const ProfileItem*, StoredValue, bool, std::u16string> cases[] = {
        {&edit, Text(u"e", u"abcdefg"), true, u"abcd"},
        {&edit, Bytes(u"e", kRegistryString, embedded, sizeof embedded), true, u"xy"},
        {&edit, Bytes(u"e", kRegistryString, u"abc", 5), true, u"ab"} /* odd size, no end */,
        {&edit, Bytes(u"e", kRegistryString, nullptr, 0), true, u""},
        {&edit, Dword(u"e", 65), false, u""},
        {&withoutText, Text(u"e", u"abc"), false, u""},
    };
    for (const auto& [item, value, taken, want] : cases) {
        std::u16string text;
        EXPECT_EQ(DecodeStoredText(*item, value, &text), taken) << want.size();
        EXPECT_EQ(text, want);
    }
}

TEST(ProfileRules, StoredDevmodeImagesAreConvertedAndRepaired) {
    PluginDevmode stored = DefaultDevmode();
    stored.brightness = 4;
    stored.colorCorrection = 7;                                                    // repaired to 0
    std::fill(std::begin(stored.profileName), std::end(stored.profileName), u'p'); // unterminated
    PluginDevmode out = DefaultDevmode();
    ASSERT_TRUE(DecodeProfileDevmode(kRegistryBinary, &stored, sizeof stored, &out));
    EXPECT_EQ(out.brightness, 4);
    EXPECT_EQ(out.colorCorrection, 0u);
    EXPECT_EQ(out.profileName[127], 0);

    // An older, shorter image keeps the bytes it has; the rest are defaults.
    PluginDevmode older = DefaultDevmode();
    older.dwSize = 7648;
    older.hueMiser = 2;
    older.brightness = 5; // at 7648: not part of the older record
    ASSERT_TRUE(DecodeProfileDevmode(kRegistryBinary, &older, 7648, &out));
    EXPECT_EQ(out.hueMiser, 2u);
    EXPECT_EQ(out.brightness, 0);
    EXPECT_EQ(out.dwSize, kPluginDevmodeSize);
    // A bare header: what the defaults do not write is zero, so no profile name comes along.
    older.dwSize = 12;
    ASSERT_TRUE(DecodeProfileDevmode(kRegistryBinary, &older, 12, &out));
    EXPECT_EQ(out.profileName[0], 0);
    EXPECT_EQ(out.profileLoaded, 0u);

    // An image that claims more than the value holds is read no further than the value.
    std::vector<unsigned char> claim(3000, 0);
    PluginDevmode big = DefaultDevmode();
    big.dwSize = 9000;
    big.colorCorrection = 2;
    std::memcpy(claim.data(), &big, claim.size());
    ASSERT_TRUE(DecodeProfileDevmode(kRegistryBinary, claim.data(), claim.size(), &out));
    EXPECT_EQ(out.colorCorrection, 0u) << "byte 7328 lies past the value";
    // A newer, longer one is cut to the record.
    std::vector<unsigned char> longer(9000, 0xFF);
    std::memcpy(longer.data(), &big, sizeof big);
    ASSERT_TRUE(DecodeProfileDevmode(kRegistryBinary, longer.data(), longer.size(), &out));
    EXPECT_EQ(out.colorCorrection, 2u);

    // Not a record of ours: nothing is taken and `out` stays.
    PluginDevmode foreign = DefaultDevmode();
    foreign.dwSignature = 0x41424344;
    PluginDevmode untouched = DefaultDevmode();
    untouched.contrast = 3;
    PluginDevmode tiny = DefaultDevmode();
    tiny.dwSize = 8;
    const std::tuple<uint32_t, const void*, size_t> refused[] = {
        {kRegistryDword, &stored, sizeof stored},
        {kRegistryBinary, &stored, 11},
        {kRegistryBinary, &foreign, sizeof foreign},
        {kRegistryBinary, &tiny, 12},
        {kRegistryBinary, nullptr, 0}};
    for (const auto& [type, data, size] : refused) {
        PluginDevmode target = untouched;
        EXPECT_FALSE(DecodeProfileDevmode(type, data, size, &target)) << size;
        EXPECT_EQ(std::memcmp(&target, &untouched, sizeof target), 0);
    }
}

// Every field a profile compares, by its first byte: changing that byte alone makes two
// devmodes differ; the others never do.
#define AT(field) offsetof(PluginDevmode, field)
TEST(ProfileRules, SettingsEqualComparesWhatAProfileHolds) {
    // clang-format off
    const size_t compared[] = {
        AT(jobFlagE), AT(jobFlagB), AT(keepPreviousJobs), AT(profileLoaded), AT(jobFlagA),
        AT(jobFlagD), AT(jobFlagC), AT(reverseOrBooklet), AT(watermarkOverPage),
        AT(watermarkEnabled), AT(outputTo), AT(watermarkOrder), AT(jobSelector),
        AT(firstWatermark.name), AT(otherWatermark.name), AT(jobText), AT(pin), AT(userName),
        AT(fax.cover.senderAddress), AT(fax.cover.reservedText), AT(fax.cover.comments),
        AT(fax.cover.senderCompany), AT(fax.cover.senderEmail), AT(fax.cover.senderName),
        AT(fax.cover.senderFax), AT(fax.cover.senderVoice), AT(fax.recipientFax),
        AT(fax.recipientName), AT(fax.station), AT(fax.sendCoverPage), AT(fax.resolution),
        AT(colorBalance), AT(cmykGraphics), AT(cmykImages), AT(cmykText), AT(hueMiser),
        AT(colorCorrection), AT(rgbGraphics), AT(rgbImages), AT(rgbText), AT(blackBalance),
        AT(cyanBalance), AT(magentaBalance), AT(yellowBalance), AT(brightness), AT(contrast),
        AT(saturation), AT(grayCorrection), AT(enhanceFineLines)};
    const size_t ignored[] = {
        AT(dwSize), AT(dwVersion), AT(jobShortText), AT(fax.cover.coverFlags), AT(profileName),
        AT(reserved), AT(firstWatermark.text), AT(otherWatermark.pointSize),
        AT(pin) + 8 /* behind the terminator */};
    // clang-format on
    const PluginDevmode base = DefaultDevmode();
    for (size_t at : compared) {
        PluginDevmode other = base;
        reinterpret_cast<unsigned char*>(&other)[at] ^= 0x31;
        EXPECT_FALSE(SettingsEqual(base, other)) << at;
        EXPECT_FALSE(SettingsEqual(other, base)) << at;
    }
    for (size_t at : ignored) {
        PluginDevmode other = base;
        reinterpret_cast<unsigned char*>(&other)[at] ^= 0x31;
        EXPECT_TRUE(SettingsEqual(base, other)) << at;
    }
    PluginDevmode a = base, b = base;
    std::memcpy(a.firstWatermark.name, u"Draft", 12);
    std::memcpy(b.firstWatermark.name, u"DRAFT", 12);
    EXPECT_TRUE(SettingsEqual(a, b)) << "watermark names without regard to case";
    std::fill(std::begin(a.pin), std::end(a.pin), u'1'); // unterminated: compared within the field
    std::fill(std::begin(b.pin), std::end(b.pin), u'1');
    EXPECT_TRUE(SettingsEqual(a, b));
}
#undef AT

TEST(ProfileRules, SaveWritesSevenFirstEachItemOnceAndTheDevmodeLast) {
    const std::u16string note(199, u'n');
    const ProfileItem edit = Edit(u"Note", note.c_str(), 200);
    ProfileItem heading; // no OPTTYPE: nothing
    heading.nameText = u"Heading";
    ProfileItem check = List(0, 1, 1, u"Check");
    check.type = 9;
    const ProfileItem items[] = {
        List(0, 3, 1, u"Halftone"), List(7, 3, 2), heading, check, edit,
        List(0, 3, 2, u"HALFTONE"), // the registry's same name: replaces the first in its place
    };
    PluginDevmode dm = DefaultDevmode();
    dm.contrast = 3;
    const auto expect = [](const std::vector<StoredValue>& got,
                           const std::vector<StoredValue>& want) {
        ASSERT_EQ(got.size(), want.size());
        for (size_t i = 0; i < want.size(); ++i) {
            EXPECT_EQ(got[i].name, want[i].name) << i;
            EXPECT_EQ(got[i].type, want[i].type) << i;
            EXPECT_EQ(got[i].data, want[i].data) << i;
        }
    };
    // The duplex item's selection in the place of the first "7"; the note cut to 127 characters.
    expect(PlanProfileSave(items, std::size(items), dm),
           {Dword(u"7", 2), Dword(u"HALFTONE", 2), Text(u"Note", note.substr(0, 127)), Image(dm)});
    expect(PlanProfileSave(nullptr, 0, dm), {Dword(u"7", 0), Image(dm)});
}

TEST(ProfileRules, LoadAndComparisonTakeTheSameValues) {
    char16_t text[16] = u"old";
    ProfileItem items[] = {List(7, 3, 0), List(0, 4, 1, u"Halftone"), List(7, 3, 0),
                           Edit(u"Note", text, 16)};
    PluginDevmode stored = DefaultDevmode();
    stored.pin[0] = u'1';
    PluginDevmode broken = DefaultDevmode();
    broken.dwSignature = 0;
    // The Halftone item has no entry 9: that value is left out.
    const std::vector<StoredValue> values = {Dword(u"7", 2), Dword(u"Halftone", 9),
                                             Text(u"Note", u"new"), Dword(u"Unknown", 1),
                                             Image(stored)};
    const ProfileLoadPlan plan = PlanProfileLoad(values, items, std::size(items));
    ASSERT_EQ(plan.items.size(), 2u);
    // The first item of the DMPubID takes its selection.
    EXPECT_EQ(
        std::tie(plan.items[0].item, plan.items[0].sel, plan.items[1].item, plan.items[1].text),
        std::make_tuple(size_t(0), 2, size_t(3), std::u16string(u"new")));
    ASSERT_TRUE(plan.hasDevmode);
    EXPECT_EQ(plan.devmode.pin[0], u'1');

    PluginDevmode dm = DefaultDevmode();
    EXPECT_FALSE(ProfileMatches(values, items, std::size(items), dm));
    // As a load leaves them: the values it takes are there, the ones it leaves out do not count.
    items[0].sel = 2;
    std::memcpy(text, u"new", 8);
    dm.pin[0] = u'1';
    EXPECT_TRUE(ProfileMatches(values, items, std::size(items), dm));
    PluginDevmode otherPin = dm;
    otherPin.pin[0] = u'2';
    EXPECT_FALSE(ProfileMatches(values, items, std::size(items), otherPin)) << "the PIN";
    items[0].sel = 1;
    EXPECT_FALSE(ProfileMatches(values, items, std::size(items), dm)) << "the duplex item";
    items[0].sel = 2;
    items[3].text = u"NEW";
    EXPECT_FALSE(ProfileMatches(values, items, std::size(items), dm)) << "the edit text";
    items[3].text = text;
    items[2].sel = 1; // the second item of the DMPubID takes no part
    EXPECT_TRUE(ProfileMatches(values, items, std::size(items), dm));

    // A devmode image that cannot be read is neither loaded nor compared.
    const std::vector<StoredValue> unreadable = {Image(broken)};
    EXPECT_FALSE(PlanProfileLoad(unreadable, items, std::size(items)).hasDevmode);
    EXPECT_TRUE(ProfileMatches(unreadable, items, std::size(items), dm));
    // Without items (the driver's items not known), only the devmode counts.
    EXPECT_TRUE(PlanProfileLoad(values, nullptr, 0).items.empty());
    EXPECT_TRUE(ProfileMatches(values, nullptr, 0, dm));
}

namespace {
struct FixedLookup final : ProfileNameLookup {
    bool IsFree(const char16_t* name) const override { return std::u16string(name) != u"Stored"; }
};
} // namespace

TEST(ProfileRules, NameChecksInTheirOrder) {
    const ReservedProfileNames reserved{u"Factory Defaults", u"<Unknown Profile>"};
    constexpr uint32_t Space = IDS_PROFILE_NAME_TRAILING_SPACE,
                       Reserved = IDS_PROFILE_NAME_RESERVED, Chars = IDS_PROFILE_NAME_CHARS,
                       Control = IDS_PROFILE_NAME_CONTROL_CHARS;
    // clang-format off
    const std::pair<const char16_t*, uint32_t> cases[] = {
        {u"Draft ", Space}, {u"Factory Defaults ", Space}, {u"FACTORY DEFAULTS", Reserved},
        {u"<unknown PROFILE>", Reserved}, {u"v1.2", Chars}, {u"a/b", Chars}, {u"a\\b", Chars},
        {u"a.b\t", Chars}, {u"tab\there", Control}, {u"line\nbreak", Control},
        {u"c1\u0085", Control}, {u"Stored", IDS_PROFILE_NAME_USED}, {u"Brochure", 0},
        {u"Draft\u00a0", 0} /* only U+0020 ends a name wrongly */, {u"", kBlankProfileName},
        {u"  \t", kBlankProfileName}};
    // clang-format on
    for (const auto& [name, problem] : cases)
        EXPECT_EQ(ProfileNameProblem(name, reserved, FixedLookup()), problem)
            << std::string(name, name + std::char_traits<char16_t>::length(name));
    EXPECT_EQ(ProfileNameProblem(nullptr, reserved, FixedLookup()), kBlankProfileName);

    EXPECT_TRUE(SaveNameAcceptable(u"x"));
    EXPECT_FALSE(SaveNameAcceptable(u" \t"));
    EXPECT_FALSE(SaveNameAcceptable(u""));
    EXPECT_TRUE(RenameNameAcceptable(u"Brochure 2", u"Brochure"));
    EXPECT_FALSE(RenameNameAcceptable(u"BROCHURE", u"Brochure"));
    EXPECT_FALSE(RenameNameAcceptable(u"\u00c9T\u00c9", u"\u00e9t\u00e9")) << "Latin-1 letters";
    EXPECT_FALSE(RenameNameAcceptable(u"  ", u"Brochure"));
}

TEST(ProfileRules, MessagesTakeTheirNames) {
    EXPECT_EQ(FormatProfileMessage(u"either \"%s\" or \"%s.\"", {u"A", u"B"}),
              u"either \"A\" or \"B.\"");
    EXPECT_EQ(FormatProfileMessage(u"100%% %d %s and %s", {u"x"}), u"100% %d x and ");
    EXPECT_EQ(FormatProfileMessage(u"%s!", {std::u16string(3000, u'x')}).size(), 2047u);
}
