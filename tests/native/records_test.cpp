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

TEST(WatermarkRecord, ValidationRepairsOutOfRangeFieldsOnly) {
    WatermarkSettings wm{};
    ResetWatermark(&wm);
    struct {
        uint16_t intensity, expected;
    } intensities[] = {{0, 100}, {101, 100}, {1, 1}, {100, 100}, {55, 55}};
    for (auto c : intensities) {
        wm.intensity = c.intensity;
        ASSERT_TRUE(ValidateWatermark(&wm));
        EXPECT_EQ(wm.intensity, c.expected) << c.intensity;
    }
    struct {
        double angle, expected;
    } angles[] = {{-180.0, -180.0}, {180.0, 180.0}, {-180.5, 0.0}, {181.0, 0.0}, {45.0, 45.0}};
    for (auto c : angles) {
        wm.angle = c.angle;
        ValidateWatermark(&wm);
        EXPECT_EQ(wm.angle, c.expected) << c.angle;
    }
    wm.angle = std::numeric_limits<double>::quiet_NaN();
    ValidateWatermark(&wm);
    EXPECT_EQ(wm.angle, 0.0) << "a NaN angle is no angle";

    struct {
        uint32_t effects, expected;
    } effects[] = {{7, 7}, {8, 0}, {9, 0}, {0x80000001u, 0}};
    for (auto c : effects) {
        wm.effects = c.effects;
        ValidateWatermark(&wm);
        EXPECT_EQ(wm.effects, c.expected) << c.effects;
    }
    wm.units = 5;
    wm.position = 9;
    wm.fontStyle = 4;
    for (auto& u : wm.name) u = u'n';
    ValidateWatermark(&wm);
    EXPECT_EQ(wm.units, Inches);
    EXPECT_EQ(wm.position, static_cast<uint32_t>(Center));
    EXPECT_EQ(wm.fontStyle, static_cast<uint32_t>(Regular));
    EXPECT_EQ(std::u16string(wm.name).size(), 127u);
    EXPECT_FALSE(ValidateWatermark(nullptr));
}

TEST(WatermarkRecord, CopyIsBoundedAndTerminated) {
    WatermarkSettings src{}, dst{};
    ResetWatermark(&src);
    for (auto& u : src.name) u = u'A';    // no terminator at all
    for (auto& u : src.faceName) u = u'F';
    std::memcpy(src.text, u"hello", 12);
    src.angle = -30.5;
    src.color = 0x123456;
    src.intensity = 40;
    src.position = TopRight;
    src.units = Millimeters;
    src.horizontalOffset = 2.5;
    src.isDynamic = 1;
    std::memset(&dst, 0x5A, sizeof dst);
    CopyWatermark(&dst, &src);
    EXPECT_EQ(std::u16string(dst.name), std::u16string(127, u'A'));
    EXPECT_EQ(std::u16string(dst.faceName), std::u16string(63, u'F'));
    EXPECT_EQ(std::u16string(dst.text), u"hello");
    EXPECT_EQ(dst.text[6], 0x5A5A) << "units behind the terminator are not copied";
    EXPECT_EQ(dst.angle, -30.5);
    EXPECT_EQ(dst.color, 0x123456u);
    EXPECT_EQ(dst.intensity, 40);
    EXPECT_EQ(dst.position, static_cast<uint32_t>(TopRight));
    EXPECT_EQ(dst.units, Millimeters);
    EXPECT_EQ(dst.horizontalOffset, 2.5);
    EXPECT_EQ(dst.isDynamic, 1u);
}

TEST(FaxRecord, RepairAndDefaults) {
    FaxSettings fax{};
    std::memset(&fax, 0x41, sizeof fax);
    ResetFaxSettings(&fax);
    EXPECT_EQ(fax.coverFlags, 7u);
    EXPECT_EQ(fax.comments[0], 0);
    EXPECT_EQ(fax.comments[1], 0x4141) << "only the first unit of each text is written";
    EXPECT_EQ(fax.padding, 0x4141);

    std::memset(&fax, 0x41, sizeof fax);
    fax.coverFlags = 9;
    fax.resolution = 3;
    fax.sendCoverPage = 2;
    RepairFaxSettings(&fax);
    EXPECT_EQ(fax.coverFlags, 7u);
    EXPECT_EQ(fax.resolution, 0);
    EXPECT_EQ(fax.sendCoverPage, 0u);
    EXPECT_EQ(std::u16string(fax.senderAddress).size(), 255u);
    EXPECT_EQ(std::u16string(fax.senderEmail).size(), 63u);
    EXPECT_EQ(std::u16string(fax.comments).size(), 1023u);
    fax.coverFlags = 5;
    RepairFaxSettings(&fax);
    EXPECT_EQ(fax.coverFlags, 5u);
}

TEST(FaxRecord, CopyCarriesTheReservedText) {
    FaxSettings src{}, dst{};
    ResetFaxSettings(&src);
    ResetFaxSettings(&dst);
    std::memcpy(src.reservedText, u"kept", 10);
    for (auto& u : src.comments) u = u'c';
    src.coverFlags = 2;
    src.sendCoverPage = 1;
    CopyFaxSettings(&dst, &src);
    EXPECT_EQ(std::u16string(dst.reservedText), u"kept");
    EXPECT_EQ(std::u16string(dst.comments), std::u16string(1023, u'c'));
    EXPECT_EQ(dst.coverFlags, 2u);
    EXPECT_EQ(dst.sendCoverPage, 1u);
}

TEST(Devmode, DefaultsOfAZeroBufferSurviveValidation) {
    PluginDevmode dm{};
    defaultPluginDevmode(&dm);
    PluginDevmode validated = dm;
    ASSERT_TRUE(validatePluginDevmode(&validated));
    EXPECT_TRUE(SameBytes(&dm, &validated, sizeof dm));
    EXPECT_EQ(dm.jobSelector, 2);
    EXPECT_EQ(dm.jobFlagC, 1u);
    EXPECT_EQ(dm.firstWatermark.intensity, 100);
    EXPECT_EQ(dm.otherWatermark.units, Inches);
}

TEST(Devmode, DefaultingLeavesTheUnwrittenBytesAlone) {
    PluginDevmode dm;
    std::memset(&dm, 0x77, sizeof dm);
    defaultPluginDevmode(&dm);
    EXPECT_EQ(dm.watermarkOverPage, 0x77777777u);
    EXPECT_EQ(dm.profileLoaded, 0x77777777u);
    EXPECT_EQ(dm.reserved[3], 0x77);
    EXPECT_EQ(dm.colorCorrection, 0u);
    EXPECT_EQ(dm.hueMiser, 0u);
    EXPECT_EQ(dm.enhanceFineLines, 0u);
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
}

TEST(Devmode, ConvertInPlaceKeepsTheRecord) {
    PluginDevmode dm = Defaults();
    dm.brightness = 4;
    dm.outputTo = 3;
    dm.dwVersion = 7;
    convertPluginDevmode(&dm, &dm);
    EXPECT_EQ(dm.brightness, 4);
    EXPECT_EQ(dm.outputTo, 3u);
    EXPECT_EQ(dm.dwVersion, 10u);
}

TEST(Devmode, ValidationTreatsNegativeUnsignedValuesAsLarge) {
    PluginDevmode dm = Defaults();
    dm.outputTo = static_cast<uint32_t>(-1);
    dm.watermarkOrder = static_cast<uint32_t>(-2);
    dm.rgbText = static_cast<uint32_t>(-3);
    dm.hueMiser = 3;
    dm.colorBalance = 2;
    dm.saturation = 6;
    dm.magentaBalance = -5;
    dm.brightness = 6;
    dm.jobFlagB = 2;
    dm.keepPreviousJobs = 1;
    dm.fax.coverFlags = 5;
    dm.firstWatermark.intensity = 0;
    validatePluginDevmode(&dm);
    EXPECT_EQ(dm.outputTo, 0u);
    EXPECT_EQ(dm.watermarkOrder, 0u);
    EXPECT_EQ(dm.rgbText, 0u);
    EXPECT_EQ(dm.hueMiser, 0u);
    EXPECT_EQ(dm.colorBalance, 0u);
    EXPECT_EQ(dm.saturation, 0);
    EXPECT_EQ(dm.magentaBalance, -5);
    EXPECT_EQ(dm.brightness, 6);
    EXPECT_EQ(dm.jobFlagB, 0u);
    EXPECT_EQ(dm.keepPreviousJobs, 1u);
    EXPECT_EQ(dm.fax.coverFlags, 5u);
    EXPECT_EQ(dm.firstWatermark.intensity, 100);
    EXPECT_FALSE(validatePluginDevmode(nullptr));
}

TEST(Devmode, WorkingCopyIsFieldWise) {
    PluginDevmode src = Defaults();
    for (auto& u : src.pin) u = u'9';
    for (auto& u : src.profileName) u = u'p';
    src.jobFlagB = 1;
    src.profileLoaded = 1;
    src.grayCorrection = 1;
    src.blackBalance = -2;
    std::memcpy(src.fax.reservedText, u"r", 4);
    std::memcpy(src.otherWatermark.name, u"Draft", 12);
    PluginDevmode dst;
    std::memset(&dst, 0, sizeof dst);
    copyWorkingDevmode(&dst, &src);
    EXPECT_EQ(std::u16string(dst.pin), u"9999");
    EXPECT_EQ(std::u16string(dst.profileName).size(), 127u);
    EXPECT_EQ(dst.jobFlagB, 0u) << "jobFlagB is not part of the working copy";
    EXPECT_EQ(dst.jobFlagC, 1u);
    EXPECT_EQ(dst.profileLoaded, 1u);
    EXPECT_EQ(dst.grayCorrection, 1u);
    EXPECT_EQ(dst.blackBalance, -2);
    EXPECT_EQ(std::u16string(dst.fax.reservedText), u"r");
    EXPECT_EQ(std::u16string(dst.otherWatermark.name), u"Draft");
    EXPECT_EQ(dst.dwSignature, kPluginSignature);
}

} // namespace
