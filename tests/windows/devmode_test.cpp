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

TEST(DevModeCall, ReachesTheRecordLogicAndRefusesTheRest) {
    ComPtr<IPrintOemUI2> plugin{PluginDll::Get().CreatePlugin()};
    ASSERT_TRUE(plugin.get());
    OEMDMPARAM param{};
    param.cbSize = sizeof param;
    const auto call = [&](DWORD mode, void* in, void* out) {
        param.pOEMDMIn = in;
        param.pOEMDMOut = out;
        SetLastError(0);
        return plugin->DevMode(mode, &param);
    };
    EXPECT_EQ(call(OEMDM_SIZE, nullptr, nullptr), S_OK);
    EXPECT_EQ(param.cbBufSize, 7672u);
    for (DWORD mode : {DWORD(0), DWORD(5)}) {
        EXPECT_EQ(call(mode, nullptr, nullptr), E_FAIL) << mode;
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER)) << mode;
    }
    SetLastError(0);
    EXPECT_EQ(plugin->DevMode(OEMDM_SIZE, nullptr), E_FAIL);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));

    // Null records are accepted and nothing is written.
    PluginDevmode in, out;
    std::memset(&out, 0x5A, sizeof out);
    in = out;
    EXPECT_EQ(call(OEMDM_DEFAULT, nullptr, nullptr), S_OK);
    EXPECT_EQ(call(OEMDM_CONVERT, nullptr, &out), S_OK);
    EXPECT_EQ(call(OEMDM_MERGE, &out, nullptr), S_OK);
    EXPECT_EQ(call(OEMDM_MERGE, nullptr, &out), S_OK);
    EXPECT_EQ(std::memcmp(&out, &in, sizeof out), 0);

    // Convert takes the record as it is; merge repairs it too.
    ASSERT_EQ(call(OEMDM_DEFAULT, nullptr, &in), S_OK);
    EXPECT_EQ(in.dwSignature, 0x4352564Eu);
    in.jobSelector = 9;
    in.contrast = 4;
    out.dwSignature = cv::kPluginSignature;
    ASSERT_EQ(call(OEMDM_CONVERT, &in, &out), S_OK);
    EXPECT_EQ(out.jobSelector, 9);
    EXPECT_EQ(out.contrast, 4);
    ASSERT_EQ(call(OEMDM_MERGE, &in, &out), S_OK);
    EXPECT_EQ(out.jobSelector, 2);
    EXPECT_EQ(out.contrast, 4);
}

} // namespace
