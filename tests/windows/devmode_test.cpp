// The DevMode entry point as the host calls it: result codes, last errors and null records. The
// record logic itself is proven natively (records_test); here one convert and one merge show
// that the entry point reaches it.
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
};

TEST_F(DevModeCall, SizeDefaultAndRefusals) {
    EXPECT_EQ(Call(OEMDM_SIZE, nullptr, nullptr), S_OK);
    EXPECT_EQ(param.cbBufSize, 7672u);
    PluginDevmode out{};
    ASSERT_EQ(Call(OEMDM_DEFAULT, nullptr, &out), S_OK);
    EXPECT_EQ(out.dwSize, 7672u);
    EXPECT_EQ(out.dwSignature, 0x4352564Eu);
    EXPECT_EQ(out.jobSelector, 2);
    EXPECT_EQ(out.fax.cover.coverFlags, 7u);

    for (DWORD mode : {DWORD(0), DWORD(5)}) {
        SetLastError(0);
        EXPECT_EQ(Call(mode, nullptr, &out), E_FAIL) << mode;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER)) << mode;
    }
    SetLastError(0);
    EXPECT_EQ(plugin->DevMode(OEMDM_SIZE, nullptr), E_FAIL);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(DevModeCall, NullRecordsAreAcceptedAndLeftAlone) {
    PluginDevmode dm, before;
    std::memset(&dm, 0x5A, sizeof dm);
    before = dm;
    EXPECT_EQ(Call(OEMDM_DEFAULT, nullptr, nullptr), S_OK);
    EXPECT_EQ(Call(OEMDM_CONVERT, nullptr, &dm), S_OK);
    EXPECT_EQ(Call(OEMDM_MERGE, &dm, nullptr), S_OK);
    EXPECT_EQ(Call(OEMDM_MERGE, nullptr, &dm), S_OK);
    EXPECT_EQ(std::memcmp(&dm, &before, sizeof dm), 0);
}

TEST_F(DevModeCall, ConvertAndMergeReachTheRecordLogic) {
    // An older, shorter record: its bytes are kept, the rest defaulted.
    std::vector<unsigned char> in(2000);
    for (size_t i = 0; i < in.size(); ++i) in[i] = static_cast<unsigned char>(i * 7 + 3);
    const uint32_t header[3] = {2000, cv::kPluginSignature, 3};
    std::memcpy(in.data(), header, sizeof header);
    PluginDevmode out;
    std::memset(&out, 0, sizeof out);
    out.dwSignature = cv::kPluginSignature;
    out.brightness = 3;
    ASSERT_EQ(Call(OEMDM_CONVERT, in.data(), &out), S_OK);
    EXPECT_EQ(std::memcmp(&out.watermarkEnabled, in.data() + 12, 2000 - 12), 0);
    EXPECT_EQ(out.jobFlagC, 1u) << "byte 2532 comes from the defaults";
    EXPECT_EQ(out.brightness, 0);
    EXPECT_EQ(out.dwVersion, 10u);

    // A longer record with a bad field: merged and repaired.
    PluginDevmode bad{};
    cv::defaultPluginDevmode(&bad);
    bad.jobSelector = 9;
    bad.contrast = 4;
    std::vector<unsigned char> larger(9000, 0x11);
    bad.dwSize = 9000;
    std::memcpy(larger.data(), &bad, sizeof bad);
    ASSERT_EQ(Call(OEMDM_MERGE, larger.data(), &out), S_OK);
    EXPECT_EQ(out.jobSelector, 2);
    EXPECT_EQ(out.contrast, 4);
    EXPECT_EQ(out.dwSize, 7672u);
}

} // namespace
