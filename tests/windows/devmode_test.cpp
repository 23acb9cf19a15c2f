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
    PluginDevmode defaults{};
    void SetUp() override {
        ASSERT_TRUE(plugin.get());
        param.cbSize = sizeof param;
        cv::defaultPluginDevmode(&defaults);
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
    std::vector<unsigned char> out(7672, 0);
    ASSERT_EQ(Call(OEMDM_DEFAULT, nullptr, out.data()), S_OK);
    EXPECT_EQ(std::memcmp(out.data(), &defaults, 7672), 0);

    for (DWORD mode : {DWORD(0), DWORD(5)}) {
        SetLastError(0);
        EXPECT_EQ(Call(mode, nullptr, out.data()), E_FAIL) << mode;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER)) << mode;
    }
    SetLastError(0);
    EXPECT_EQ(plugin->DevMode(OEMDM_SIZE, nullptr), E_FAIL);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(DevModeCall, NullRecordsAreAcceptedAndLeftAlone) {
    PluginDevmode dm = defaults;
    EXPECT_EQ(Call(OEMDM_DEFAULT, nullptr, nullptr), S_OK);
    EXPECT_EQ(Call(OEMDM_CONVERT, nullptr, &dm), S_OK);
    EXPECT_EQ(Call(OEMDM_MERGE, &dm, nullptr), S_OK);
    EXPECT_EQ(Call(OEMDM_MERGE, nullptr, &dm), S_OK);
    EXPECT_EQ(std::memcmp(&dm, &defaults, sizeof dm), 0);
}

TEST_F(DevModeCall, ConvertAndMergeReachTheRecordLogic) {
    // An older, shorter record: its bytes are kept, the rest defaulted.
    std::vector<unsigned char> in(2000);
    for (size_t i = 0; i < in.size(); ++i) in[i] = static_cast<unsigned char>(i * 7 + 3);
    const uint32_t header[3] = {2000, cv::kPluginSignature, 3};
    std::memcpy(in.data(), header, sizeof header);
    PluginDevmode out = defaults;
    ASSERT_EQ(Call(OEMDM_CONVERT, in.data(), &out), S_OK);
    const auto* bytes = reinterpret_cast<const unsigned char*>(&out);
    EXPECT_EQ(std::memcmp(bytes + 12, in.data() + 12, 2000 - 12), 0);
    EXPECT_EQ(std::memcmp(bytes + 2000, reinterpret_cast<const unsigned char*>(&defaults) + 2000,
                          7672 - 2000),
              0);
    EXPECT_EQ(out.dwVersion, 10u);

    // A longer record with a bad field: merged and repaired.
    PluginDevmode bad = defaults;
    bad.jobSelector = 9;
    std::vector<unsigned char> larger(9000, 0x11);
    bad.dwSize = 9000;
    std::memcpy(larger.data(), &bad, sizeof bad);
    out = defaults;
    out.contrast = 4;
    ASSERT_EQ(Call(OEMDM_MERGE, larger.data(), &out), S_OK);
    EXPECT_EQ(std::memcmp(&out, &defaults, sizeof out), 0);
}

} // namespace
