#include "core/records.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>
#include <vector>

using namespace cv;

namespace {

PluginDevmode Defaults() {
    PluginDevmode dm{};
    defaultPluginDevmode(&dm);
    return dm;
}

bool SameBytes(const void* a, const void* b, size_t n) { return std::memcmp(a, b, n) == 0; }

// The repair rules in one table: a field, the value it is given, the value it must have after
// validation of a whole record (watermark and fax records are repaired within it).
TEST(Devmode, RepairRules) {
    using Set = void (*)(PluginDevmode&);
    using Get = double (*)(const PluginDevmode&);
    const struct {
        const char* field;
        Set set;
        Get get;
        double expected;
    } rules[] = {
#define CV_RULE(field, value, expected)                                                            \
    {#field " = " #value, [](PluginDevmode& d) { d.field = value; },                              \
     [](const PluginDevmode& d) { return static_cast<double>(d.field); }, expected}
        CV_RULE(firstWatermark.intensity, 0, 100), CV_RULE(firstWatermark.intensity, 101, 100),
        CV_RULE(firstWatermark.intensity, 1, 1), CV_RULE(firstWatermark.angle, -180.0, -180),
        CV_RULE(firstWatermark.angle, 180.0, 180), CV_RULE(firstWatermark.angle, -180.5, 0),
        CV_RULE(firstWatermark.angle, std::numeric_limits<double>::quiet_NaN(), 0),
        CV_RULE(otherWatermark.effects, 7, 7), CV_RULE(otherWatermark.effects, 8, 0),
        CV_RULE(otherWatermark.effects, 0x80000001u, 0), CV_RULE(otherWatermark.units, 5, Inches),
        CV_RULE(otherWatermark.position, 9, Center), CV_RULE(otherWatermark.fontStyle, 4, Regular),
        CV_RULE(fax.cover.coverFlags, 9, 7), CV_RULE(fax.cover.coverFlags, 5, 5),
        CV_RULE(fax.resolution, 3, 0), CV_RULE(fax.sendCoverPage, 2, 0),
        CV_RULE(outputTo, static_cast<uint32_t>(-1), 0), CV_RULE(watermarkOrder, 0xFFFFFFFEu, 0),
        CV_RULE(rgbText, 0xFFFFFFFDu, 0), CV_RULE(hueMiser, 3, 0), CV_RULE(colorBalance, 2, 0),
        CV_RULE(saturation, 6, 0), CV_RULE(magentaBalance, -5, -5), CV_RULE(brightness, 6, 6),
        CV_RULE(brightness, -7, 0), CV_RULE(cyanBalance, 6, 0), CV_RULE(colorCorrection, 7, 0),
        CV_RULE(jobSelector, 9, 2), CV_RULE(jobFlagB, 2, 0), CV_RULE(jobFlagC, 5, 1),
        CV_RULE(keepPreviousJobs, 1, 1),
#undef CV_RULE
    };
    for (const auto& rule : rules) {
        PluginDevmode dm = Defaults();
        rule.set(dm);
        ASSERT_TRUE(validatePluginDevmode(&dm));
        EXPECT_EQ(rule.get(dm), rule.expected) << rule.field;
    }
    EXPECT_FALSE(validatePluginDevmode(nullptr));
    EXPECT_FALSE(ValidateWatermark(nullptr));

    // Texts without a terminator are cut to their capacity.
    PluginDevmode dm = Defaults();
    for (auto& u : dm.firstWatermark.name) u = u'n';
    for (auto& u : dm.fax.cover.senderAddress) u = u'a';
    for (auto& u : dm.fax.cover.comments) u = u'c';
    validatePluginDevmode(&dm);
    EXPECT_EQ(std::u16string(dm.firstWatermark.name).size(), 127u);
    EXPECT_EQ(std::u16string(dm.fax.cover.senderAddress).size(), 255u);
    EXPECT_EQ(std::u16string(dm.fax.cover.comments).size(), 1023u);
}

TEST(WatermarkRecord, CopyIsBoundedAndTerminated) {
    WatermarkSettings src{}, dst{};
    ResetWatermark(&src);
    for (auto& u : src.name) u = u'A';    // no terminator at all
    for (auto& u : src.faceName) u = u'F';
    std::memcpy(src.text, u"hello", 12);
    src.angle = -30.5;
    src.units = Millimeters;
    src.isDynamic = 1;
    std::memset(&dst, 0x5A, sizeof dst);
    CopyWatermark(&dst, &src);
    EXPECT_EQ(std::u16string(dst.name), std::u16string(127, u'A'));
    EXPECT_EQ(std::u16string(dst.faceName), std::u16string(63, u'F'));
    EXPECT_EQ(std::u16string(dst.text), u"hello");
    EXPECT_EQ(dst.text[6], 0x5A5A) << "units behind the terminator are not copied";
    EXPECT_EQ(dst.angle, -30.5);
    EXPECT_EQ(dst.units, Millimeters);
    EXPECT_EQ(dst.isDynamic, 1u);
}

TEST(FaxRecord, DefaultsWriteOnlyTheFirstUnitOfEachText) {
    FaxSettings fax{};
    std::memset(&fax, 0x41, sizeof fax);
    ResetFaxSettings(&fax);
    EXPECT_EQ(fax.cover.coverFlags, 7u);
    EXPECT_EQ(fax.cover.comments[0], 0);
    EXPECT_EQ(fax.cover.comments[1], 0x4141);
    EXPECT_EQ(fax.padding, 0x4141);
}

TEST(FaxRecord, CopyCarriesTheReservedText) {
    FaxSettings src{}, dst{};
    ResetFaxSettings(&src);
    ResetFaxSettings(&dst);
    std::memcpy(src.cover.reservedText, u"kept", 10);
    for (auto& u : src.cover.comments) u = u'c';
    src.cover.coverFlags = 2;
    src.sendCoverPage = 1;
    CopyFaxSettings(&dst, &src);
    EXPECT_EQ(std::u16string(dst.cover.reservedText), u"kept");
    EXPECT_EQ(std::u16string(dst.cover.comments), std::u16string(1023, u'c'));
    EXPECT_EQ(dst.cover.coverFlags, 2u);
    EXPECT_EQ(dst.sendCoverPage, 1u);
}

TEST(Devmode, DefaultsSurviveValidationAndLeaveTheUnwrittenBytesAlone) {
    const PluginDevmode dm = Defaults();
    PluginDevmode validated = dm;
    ASSERT_TRUE(validatePluginDevmode(&validated));
    EXPECT_TRUE(SameBytes(&dm, &validated, sizeof dm));
    std::memset(&validated, 0x77, sizeof validated);
    defaultPluginDevmode(&validated);
    EXPECT_EQ(validated.watermarkOverPage, 0x77777777u);
    EXPECT_EQ(validated.reserved[3], 0x77);
}

TEST(Devmode, ConvertByInputSize) {
    // Longer than ours: exactly 7672 bytes are taken.
    std::vector<unsigned char> big(9000);
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<unsigned char>(i);
    const uint32_t size = 9000;
    std::memcpy(&big[0], &size, 4);
    std::memcpy(&big[4], &kPluginSignature, 4);
    PluginDevmode out = Defaults();
    convertPluginDevmode(big.data(), &out);
    EXPECT_TRUE(SameBytes(reinterpret_cast<unsigned char*>(&out) + 12, big.data() + 12, 7660));
    EXPECT_EQ(out.dwSize, 7672u);
    EXPECT_EQ(out.dwVersion, 10u);

    // Too short to hold even the header: not a record of ours.
    PluginDevmode tiny = Defaults();
    tiny.dwSize = 8;
    tiny.brightness = 2;
    out = Defaults();
    out.contrast = 3;
    convertPluginDevmode(&tiny, &out);
    const PluginDevmode defaults = Defaults();
    EXPECT_TRUE(SameBytes(&out, &defaults, sizeof out));

    // In place the record stays.
    tiny = Defaults();
    tiny.brightness = 4;
    tiny.dwVersion = 7;
    convertPluginDevmode(&tiny, &tiny);
    EXPECT_EQ(tiny.brightness, 4);
    EXPECT_EQ(tiny.dwVersion, 10u);
}

TEST(Devmode, WorkingCopyIsFieldWise) {
    PluginDevmode src = Defaults();
    for (auto& u : src.pin) u = u'9';
    for (auto& u : src.profileName) u = u'p';
    src.jobFlagB = 1;
    src.blackBalance = -2;
    std::memcpy(src.fax.cover.reservedText, u"r", 4);
    std::memcpy(src.otherWatermark.name, u"Draft", 12);
    PluginDevmode dst;
    std::memset(&dst, 0, sizeof dst);
    copyWorkingDevmode(&dst, &src);
    EXPECT_EQ(std::u16string(dst.pin), u"9999");
    EXPECT_EQ(std::u16string(dst.profileName).size(), 127u);
    EXPECT_EQ(dst.jobFlagB, 0u) << "jobFlagB is not part of the working copy";
    EXPECT_EQ(dst.blackBalance, -2);
    EXPECT_EQ(std::u16string(dst.fax.cover.reservedText), u"r");
    EXPECT_EQ(std::u16string(dst.otherWatermark.name), u"Draft");
    EXPECT_EQ(dst.dwSignature, kPluginSignature);
}

} // namespace
