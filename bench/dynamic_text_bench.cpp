// Expansion of the two dynamic default watermarks against copying the same text, which is what
// the preview does with a text that is not dynamic. The preview expands on every repaint, so
// this is the price of a dynamic watermark per paint. Each expansion benchmark reports `x_copy`,
// its time per call as a multiple of a bounded copy of its text into a 2048-unit buffer, timed
// in this run. The values come from the native tests' fixed platform; its string-table map and
// its date and time formatting are part of the measured time, as the Win32 calls are in the DLL.
#include "watermark/dynamic_text.h"

#include "../tests/native/fixed_platform.h"
#include "ui/bounded_string.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

using namespace cv;

namespace {

const char16_t* const kUserText = u"User:  %Username%";
const char16_t* const kDateTimeText = u"%Time% %DateLong%";

void CopyText(char16_t* out, const char16_t* text) {
    benchmark::DoNotOptimize(text);
    BoundedCopy(out, kDynamicTextCapacity, text, kDynamicTextCapacity);
    benchmark::DoNotOptimize(out);
    benchmark::ClobberMemory();
}

// Nanoseconds per copy of `text`: median of 15 timed batches.
double CopyNanoseconds(const char16_t* text) {
    char16_t out[kDynamicTextCapacity];
    std::vector<double> samples;
    for (int round = 0; round < 15; ++round) {
        constexpr int kBatch = 50000;
        const auto t0 = std::chrono::steady_clock::now();
        for (int i = 0; i < kBatch; ++i) CopyText(out, text);
        const auto t1 = std::chrono::steady_clock::now();
        samples.push_back(std::chrono::duration<double, std::nano>(t1 - t0).count() / kBatch);
    }
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

void BM_CopyText(benchmark::State& state, const char16_t* text) {
    char16_t out[kDynamicTextCapacity];
    for (auto _ : state) CopyText(out, text);
}
BENCHMARK_CAPTURE(BM_CopyText, User, kUserText);
BENCHMARK_CAPTURE(BM_CopyText, DateTime, kDateTimeText);

void BM_Expand(benchmark::State& state, const char16_t* text) {
    cv::testing::FixedPlatform platform;
    char16_t out[kDynamicTextCapacity];
    const double copyNs = CopyNanoseconds(text);
    const auto t0 = std::chrono::steady_clock::now();
    for (auto _ : state) {
        size_t capacity = kDynamicTextCapacity;
        benchmark::DoNotOptimize(text);
        const bool ok = ExpandWatermarkText(platform, cv::testing::FixedPrinterHandle(), nullptr,
                                            text, 1, platform.now, ExpansionMode::Preview, out,
                                            &capacity);
        benchmark::DoNotOptimize(ok);
        benchmark::ClobberMemory();
    }
    const auto t1 = std::chrono::steady_clock::now();
    const double perCall =
        std::chrono::duration<double, std::nano>(t1 - t0).count() / double(state.iterations());
    state.counters["x_copy"] = perCall / copyNs;
}
BENCHMARK_CAPTURE(BM_Expand, User, kUserText);
BENCHMARK_CAPTURE(BM_Expand, DateTime, kDateTimeText);

} // namespace
