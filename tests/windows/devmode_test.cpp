// The DevMode entry point as the host calls it: result codes, last errors and null records. The
// record logic itself is proven natively (records_test); here one convert and one merge show
// that the entry point reaches it.
#include "core/records.h"
#include "support.h"

#include <gtest/gtest.h>

#include <cstring>

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

// Convert takes the record as it is; merge repairs it too.
TEST_F(DevModeCall, ConvertAndMergeReachTheRecordLogic) {
    PluginDevmode in{}, out{};
    cv::defaultPluginDevmode(&in);
    in.jobSelector = 9;
    in.contrast = 4;
    out.dwSignature = cv::kPluginSignature;
    ASSERT_EQ(Call(OEMDM_CONVERT, &in, &out), S_OK);
    EXPECT_EQ(out.jobSelector, 9);
    EXPECT_EQ(out.contrast, 4);
    ASSERT_EQ(Call(OEMDM_MERGE, &in, &out), S_OK);
    EXPECT_EQ(out.jobSelector, 2);
    EXPECT_EQ(out.contrast, 4);
}

} // namespace
