#include "core/records.h"

#include "test_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

using namespace cv;

namespace {

// The first offset at which two records differ, or -1.
long FirstDifference(const void* a, const void* b, size_t n) {
    const auto* x = static_cast<const unsigned char*>(a);
    const auto* y = static_cast<const unsigned char*>(b);
    const auto at = std::mismatch(x, x + n, y).first;
    return at == x + n ? -1 : static_cast<long>(at - x);
}

// Expected bytes of a record, at the stored format's offsets: everything starts as `fill`.
struct Bytes {
    std::vector<unsigned char> b;
    Bytes(size_t size, unsigned char fill) : b(size, fill) {}
    // `size` bytes from `at` hold `value`, little-endian (zero past its eighth byte).
    void Put(size_t at, uint64_t value, size_t size) {
        for (size_t i = 0; i < size; ++i)
            b[at + i] = i < 8 ? uint8_t(value >> (8 * i)) : 0;
    }
    void Zero(size_t at, size_t size) { Put(at, 0, size); }
};

// Defaulting writes exactly these fields, with these values; the rest of the buffer (the
// overprint flag, padding, the profile, the reserved tail, the units behind each first text
// unit) keeps what the host's buffer held.
TEST(Devmode, DefaultsAreTheseValuesAndTouchNothingElse) {
    // {offset, size, value}: each watermark's (at 24 and 728; its face name "Arial" at 524),
    // then the devmode's own fields and the first unit of each of its texts.
    const struct {
        size_t at, size;
        uint64_t value;
    } watermark[] = {{0, 2, 0},   {256, 2, 0},   {512, 12, 0}, {652, 4, 72},
                     {656, 8, 0}, {664, 2, 100}, {668, 4, 0},  {672, 1, 1 /* inches */},
                     {680, 24, 0}},
      devmode[] = {{0, 4, 7672}, {4, 4, 0x4352564E}, {8, 4, 10},   {12, 8, 0},   {1432, 8, 0},
                   {1440, 2, 2}, {1442, 2, 0},       {2466, 2, 0}, {2516, 2, 0}, {2528, 4, 0},
                   {2532, 4, 1}, {2536, 6, 0},       {2576, 6, 0}, {2836, 2, 0}, {3092, 2, 0},
                   {3096, 4, 0}, {3100, 2, 0},       {3356, 2, 0}, {3612, 2, 0}, {3868, 2, 0},
                   {4380, 2, 0}, {4892, 2, 0},       {5020, 2, 0}, {5148, 2, 0}, {5276, 2, 0},
                   {7324, 4, 7}, {7328, 60, 0},      {7648, 20, 0}};
    Bytes want(sizeof(PluginDevmode), 0x77);
    for (size_t wm : {24u, 728u}) {
        for (const auto& f : watermark)
            want.Put(wm + f.at, f.value, f.size);
        for (size_t i = 0; i < 6; ++i)
            want.Put(wm + 524 + 2 * i, u"Arial"[i], 2);
    }
    for (const auto& f : devmode)
        want.Put(f.at, f.value, f.size);

    PluginDevmode dm;
    std::memset(&dm, 0x77, sizeof dm);
    defaultPluginDevmode(&dm);
    EXPECT_EQ(FirstDifference(&dm, want.b.data(), sizeof dm), -1);
    // Validation finds nothing to repair in a defaulted record.
    const PluginDevmode defaults = DefaultDevmode();
    PluginDevmode validated = defaults;
    ASSERT_TRUE(validatePluginDevmode(&validated));
    EXPECT_EQ(FirstDifference(&validated, &defaults, sizeof dm), -1);
}

// Every repaired field at both ends of its range: the ends stay, one step beyond either end
// becomes the repair value (below 0, an unsigned field holds a large value).
TEST(Devmode, RepairRulesAtTheirBoundaries) {
    // clang-format off
    const struct {
        const char* field;
        void (*set)(PluginDevmode&, int64_t);
        double (*get)(const PluginDevmode&);
        int64_t low, high;
        double repaired;
    } rules[] = {
#define CV_RULE(field, low, high, repaired)                                                        \
    {#field, [](PluginDevmode& d, int64_t v) { d.field = static_cast<decltype(d.field)>(v); },    \
     [](const PluginDevmode& d) { return static_cast<double>(d.field); }, low, high, repaired}
        CV_RULE(firstWatermark.intensity, 1, 100, 100), CV_RULE(firstWatermark.angle, -180, 180, 0),
        CV_RULE(firstWatermark.fontStyle, 0, 3, 0), CV_RULE(otherWatermark.effects, 0, 7, 0),
        CV_RULE(otherWatermark.position, 0, 8, 0), CV_RULE(otherWatermark.units, 0, 1, 1),
        CV_RULE(fax.resolution, 0, 0, 0), CV_RULE(fax.sendCoverPage, 0, 1, 0),
        CV_RULE(fax.cover.coverFlags, 0, 7, 7), CV_RULE(watermarkEnabled, 0, 1, 0),
        CV_RULE(watermarkOverPage, 0, 1, 0), CV_RULE(jobFlagA, 0, 1, 0), CV_RULE(jobFlagB, 0, 1, 0),
        CV_RULE(jobFlagC, 0, 1, 1), CV_RULE(jobFlagD, 0, 1, 0), CV_RULE(jobFlagE, 0, 1, 0),
        CV_RULE(keepPreviousJobs, 0, 1, 0), CV_RULE(reverseOrBooklet, 0, 1, 0),
        CV_RULE(grayCorrection, 0, 1, 0), CV_RULE(enhanceFineLines, 0, 1, 0),
        CV_RULE(watermarkOrder, 0, 3, 0), CV_RULE(outputTo, 0, 7, 0), CV_RULE(jobSelector, 0, 7, 2),
        CV_RULE(colorCorrection, 0, 3, 0), CV_RULE(rgbImages, 0, 5, 0), CV_RULE(rgbText, 0, 5, 0),
        CV_RULE(rgbGraphics, 0, 5, 0), CV_RULE(cmykImages, 0, 5, 0), CV_RULE(cmykText, 0, 5, 0),
        CV_RULE(cmykGraphics, 0, 5, 0), CV_RULE(colorBalance, 0, 1, 0),
        CV_RULE(cyanBalance, -5, 5, 0), CV_RULE(magentaBalance, -5, 5, 0),
        CV_RULE(yellowBalance, -5, 5, 0), CV_RULE(blackBalance, -5, 5, 0),
        CV_RULE(hueMiser, 0, 2, 0), CV_RULE(brightness, -6, 6, 0), CV_RULE(contrast, 0, 5, 0),
        CV_RULE(saturation, 0, 5, 0),
#undef CV_RULE
    };
    // clang-format on
    for (const auto& rule : rules) {
        for (int64_t value : {rule.low - 1, rule.low, rule.high, rule.high + 1}) {
            PluginDevmode dm = DefaultDevmode();
            rule.set(dm, value);
            const double kept = rule.get(dm);
            ASSERT_TRUE(validatePluginDevmode(&dm));
            const bool inside = value >= rule.low && value <= rule.high;
            EXPECT_EQ(rule.get(dm), inside ? kept : rule.repaired) << rule.field << " = " << value;
        }
    }
    // Values between the whole numbers above, and bits rather than a range.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::tuple<double, uint32_t, double, uint32_t> others[] = {
        {-180.5, 9, 0, 0}, {180.5, 5, 0, 5}, {nan, 0x80000001u, 0, 0}};
    for (const auto& [angle, effects, wantAngle, wantEffects] : others) {
        PluginDevmode dm = DefaultDevmode();
        dm.firstWatermark.angle = angle;
        dm.firstWatermark.effects = effects;
        validatePluginDevmode(&dm);
        EXPECT_EQ(dm.firstWatermark.angle, wantAngle) << angle;
        EXPECT_EQ(dm.firstWatermark.effects, wantEffects) << effects;
    }
    EXPECT_FALSE(validatePluginDevmode(nullptr));
    EXPECT_FALSE(ValidateWatermark(nullptr));
}

// A record of nothing but 'A' units: every text of the devmode and of its embedded records
// comes out terminated in its last unit, and nothing before it is cut.
TEST(Devmode, ValidationTerminatesEveryText) {
    PluginDevmode dm;
    std::memset(&dm, 0x41, sizeof dm);
    validatePluginDevmode(&dm);
    // clang-format off
    const std::pair<const char16_t*, size_t> texts[] = {
        {dm.jobText, 512},                 {dm.userName, 25},
        {dm.pin, 5},                       {dm.jobShortText, 17},
        {dm.firstWatermark.name, 128},     {dm.firstWatermark.text, 128},
        {dm.firstWatermark.faceName, 64},  {dm.otherWatermark.name, 128},
        {dm.otherWatermark.text, 128},     {dm.otherWatermark.faceName, 64},
        {dm.fax.recipientFax, 128},        {dm.fax.station, 128},
        {dm.fax.recipientName, 128},       {dm.fax.cover.senderName, 128},
        {dm.fax.cover.senderCompany, 128}, {dm.fax.cover.senderAddress, 256},
        {dm.fax.cover.reservedText, 256},  {dm.fax.cover.senderFax, 64},
        {dm.fax.cover.senderVoice, 64},    {dm.fax.cover.senderEmail, 64},
        {dm.fax.cover.comments, 1024},
    };
    // clang-format on
    for (const auto& [text, capacity] : texts)
        EXPECT_EQ(BoundedLength(text, capacity), capacity - 1) << capacity;
}

// The working copy takes every field but jobFlagB, the padding and the reserved tail, each to
// its own place; texts without a terminator are cut to their last unit.
TEST(Devmode, WorkingCopyIsFieldWise) {
    PluginDevmode src, dst;
    auto* s = reinterpret_cast<unsigned char*>(&src);
    // A different byte at every offset (and no UTF-16 unit of 0), so that a field copied into
    // another's place or not at all shows.
    for (size_t i = 0; i < sizeof src; ++i)
        s[i] = static_cast<unsigned char>(i * 7 + 3);
    std::memset(&dst, 0, sizeof dst);
    copyWorkingDevmode(&dst, &src);

    Bytes want(sizeof src, 0);
    std::memcpy(want.b.data(), &src, sizeof src);
    for (size_t wm : {24u, 728u}) {
        want.Zero(wm + 666, 2); // padding
        want.Zero(wm + 673, 7);
        for (size_t end : {256u, 512u, 652u})
            want.Zero(wm + end - 2, 2); // name, text, faceName
    }
    want.Zero(2580 + 514, 2); // fax padding
    for (size_t end : {256u, 512u, 776u, 1032u, 1288u, 1800u, 2312u, 2440u, 2568u, 2696u, 4744u})
        want.Zero(2580 + end - 2, 2);
    for (size_t end : {2466u, 2516u, 2526u, 2574u, 7644u})
        want.Zero(end - 2, 2);
    want.Zero(2526, 2); // padding
    want.Zero(2528, 4); // jobFlagB
    want.Zero(2574, 2); // padding
    want.Zero(7668, 4); // reserved
    EXPECT_EQ(FirstDifference(&dst, want.b.data(), sizeof dst), -1);
}

// A stored watermark: binary data of 1 to 704 bytes; what it lacks keeps the defaults.
TEST(WatermarkRecord, DecodeTakesStoredBytesOverTheDefaultsAndRepairs) {
    WatermarkSettings stored;
    std::memset(&stored, 0x41, sizeof stored);
    stored.angle = 500.0;
    WatermarkSettings wm;
    std::memset(&wm, 0x5A, sizeof wm);
    for (size_t size : {size_t(0), sizeof stored + 1})
        EXPECT_FALSE(DecodeWatermark(kRegistryBinary, &stored, size, &wm)) << size;
    EXPECT_FALSE(DecodeWatermark(kRegistryString, &stored, sizeof stored, &wm));
    EXPECT_FALSE(DecodeWatermark(kRegistryBinary, nullptr, sizeof stored, &wm));
    EXPECT_EQ(wm.pointSize, 0x5A5A5A5Au) << "a refused value leaves the record alone";

    ASSERT_TRUE(DecodeWatermark(kRegistryBinary, &stored, sizeof stored, &wm));
    EXPECT_EQ(BoundedLength(wm.name, 128), 127u);
    EXPECT_EQ(BoundedLength(wm.faceName, 64), 63u);
    EXPECT_EQ(wm.angle, 0.0);
    EXPECT_EQ(wm.intensity, 100);
    EXPECT_EQ(wm.pointSize, 0x41414141u) << "a number without a rule is taken as stored";

    // 600 bytes end inside the face name: every field from pointSize (byte 652) on is default.
    ASSERT_TRUE(DecodeWatermark(kRegistryBinary, &stored, 600, &wm));
    EXPECT_EQ(std::memcmp(wm.text, stored.text, 254), 0);
    const WatermarkSettings defaults = DefaultWatermark();
    EXPECT_EQ(FirstDifference(&wm.pointSize, &defaults.pointSize, sizeof wm - 652), -1);
    ASSERT_TRUE(DecodeWatermark(kRegistryBinary, "Q", 1, &wm));
    EXPECT_EQ(std::u16string(wm.name), u"Q") << "its second byte comes from the defaults";
    EXPECT_EQ(std::u16string(wm.faceName), u"Arial");
}

TEST(Devmode, ConvertByInputSize) {
    // Longer than ours: exactly 7672 bytes are taken.
    std::vector<unsigned char> big(9000);
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<unsigned char>(i);
    const uint32_t size = 9000;
    std::memcpy(&big[0], &size, 4);
    std::memcpy(&big[4], &kPluginSignature, 4);
    PluginDevmode out = DefaultDevmode();
    convertPluginDevmode(big.data(), &out);
    EXPECT_EQ(FirstDifference(reinterpret_cast<char*>(&out) + 12, big.data() + 12, 7660), -1);
    EXPECT_EQ(out.dwSize, 7672u);
    EXPECT_EQ(out.dwVersion, 10u);

    // Too short to hold even the header: not a record of ours.
    PluginDevmode tiny = DefaultDevmode();
    tiny.dwSize = 8;
    tiny.brightness = 2;
    out = DefaultDevmode();
    out.contrast = 3;
    convertPluginDevmode(&tiny, &out);
    const PluginDevmode defaults = DefaultDevmode();
    EXPECT_EQ(FirstDifference(&out, &defaults, sizeof out), -1);

    // In place the record stays.
    tiny = DefaultDevmode();
    tiny.brightness = 4;
    tiny.dwVersion = 7;
    convertPluginDevmode(&tiny, &tiny);
    EXPECT_EQ(tiny.brightness, 4);
    EXPECT_EQ(tiny.dwVersion, 10u);
}

} // namespace
