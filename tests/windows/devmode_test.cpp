// The private devmode through the plug-in object's DevMode method, as the host sizes, defaults,
// converts and merges it.
#include "core/records.h"
#include "support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace cvtest;
using cv::PluginDevmode;

namespace {

struct DevModeCall : ::testing::Test {
    ComPtr<IPrintOemUI2> plugin{PluginDll::Get().CreatePlugin()};
    OEMDMPARAM param{};
    void SetUp() override {
        ASSERT_TRUE(plugin.get());
        param.cbSize = sizeof param;
    }
    HRESULT Call(DWORD mode, void* in, void* out) {
        param.pOEMDMIn = in;
        param.pOEMDMOut = out;
        return plugin->DevMode(mode, &param);
    }
    static PluginDevmode Defaults() {
        PluginDevmode dm{};
        cv::defaultPluginDevmode(&dm);
        return dm;
    }
};

TEST_F(DevModeCall, SizeDefaultAndRefusedModes) {
    EXPECT_EQ(Call(OEMDM_SIZE, nullptr, nullptr), S_OK);
    EXPECT_EQ(param.cbBufSize, 7672u);

    std::vector<unsigned char> out(7672, 0xEE);
    ASSERT_EQ(Call(OEMDM_DEFAULT, nullptr, out.data()), S_OK);
    const auto* dm = reinterpret_cast<const PluginDevmode*>(out.data());
    EXPECT_EQ(dm->dwSize, 7672u);
    EXPECT_EQ(dm->dwSignature, 0x4352564Eu);
    EXPECT_EQ(dm->dwVersion, 10u);
    EXPECT_EQ(dm->jobSelector, 2);
    EXPECT_EQ(dm->jobFlagC, 1u);
    EXPECT_EQ(dm->fax.coverFlags, 7u);
    EXPECT_EQ(dm->firstWatermark.pointSize, 72u);
    EXPECT_EQ(std::u16string(dm->otherWatermark.faceName), u"Arial");

    SetLastError(0);
    EXPECT_EQ(Call(5, nullptr, out.data()), E_FAIL);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    SetLastError(0);
    EXPECT_EQ(Call(0, nullptr, out.data()), E_FAIL);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    SetLastError(0);
    EXPECT_EQ(plugin->DevMode(OEMDM_SIZE, nullptr), E_FAIL);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(DevModeCall, NullRecordsAreIgnoredButAccepted) {
    PluginDevmode dm = Defaults();
    EXPECT_EQ(Call(OEMDM_DEFAULT, nullptr, nullptr), S_OK);
    EXPECT_EQ(Call(OEMDM_CONVERT, nullptr, &dm), S_OK);
    EXPECT_EQ(Call(OEMDM_MERGE, &dm, nullptr), S_OK);
    EXPECT_EQ(Call(OEMDM_MERGE, nullptr, &dm), S_OK);
    const PluginDevmode expected = Defaults();
    EXPECT_EQ(std::memcmp(&dm, &expected, sizeof dm), 0);
}

TEST_F(DevModeCall, ConvertKeepsAnOlderRecordsBytesAndDefaultsTheRest) {
    std::vector<unsigned char> in(2000);
    for (size_t i = 0; i < in.size(); ++i) in[i] = static_cast<unsigned char>(i * 7 + 3);
    const uint32_t size = 2000, sig = cv::kPluginSignature, version = 3;
    std::memcpy(&in[0], &size, 4);
    std::memcpy(&in[4], &sig, 4);
    std::memcpy(&in[8], &version, 4);
    PluginDevmode out = Defaults();
    ASSERT_EQ(Call(OEMDM_CONVERT, in.data(), &out), S_OK);
    const auto* bytes = reinterpret_cast<const unsigned char*>(&out);
    EXPECT_EQ(std::memcmp(bytes + 12, in.data() + 12, 2000 - 12), 0);
    const PluginDevmode defaults = Defaults();
    EXPECT_EQ(std::memcmp(bytes + 2000, reinterpret_cast<const unsigned char*>(&defaults) + 2000,
                          7672 - 2000),
              0);
    EXPECT_EQ(out.dwSize, 7672u);
    EXPECT_EQ(out.dwVersion, 10u);
}

TEST_F(DevModeCall, ForeignSignatureGivesDefaults) {
    PluginDevmode in = Defaults();
    in.dwSignature = 0x41424344;
    in.brightness = 3;
    PluginDevmode out = Defaults();
    out.contrast = 4;
    ASSERT_EQ(Call(OEMDM_MERGE, &in, &out), S_OK);
    const PluginDevmode expected = Defaults();
    EXPECT_EQ(std::memcmp(&out, &expected, sizeof out), 0);
}

TEST_F(DevModeCall, MergeRepairsEveryBadField) {
    PluginDevmode in = Defaults();
    in.colorCorrection = 7;
    in.jobSelector = 9;
    in.jobFlagC = 5;
    in.brightness = -7;
    in.contrast = -1;
    in.cyanBalance = 6;
    in.fax.coverFlags = 8;
    for (auto& c : in.userName) c = u'x';
    std::vector<unsigned char> larger(9000, 0x11);
    in.dwSize = 9000;
    std::memcpy(larger.data(), &in, sizeof in);
    PluginDevmode out = Defaults();
    ASSERT_EQ(Call(OEMDM_MERGE, larger.data(), &out), S_OK);
    EXPECT_EQ(out.colorCorrection, 0u);
    EXPECT_EQ(out.jobSelector, 2);
    EXPECT_EQ(out.jobFlagC, 1u);
    EXPECT_EQ(out.brightness, 0);
    EXPECT_EQ(out.contrast, 0);
    EXPECT_EQ(out.cyanBalance, 0);
    EXPECT_EQ(out.fax.coverFlags, 7u);
    EXPECT_EQ(std::u16string(out.userName), std::u16string(24, u'x'));
    EXPECT_EQ(out.dwSize, 7672u);
}

} // namespace
