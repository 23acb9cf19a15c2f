// The stand-in host's PPD reader on a generated PPD of 100,000 features (15 MB, beyond the
// largest vendor files) against reading the same bytes: a copy of the buffer,
// and one pass that splits it into lines as any reader of the file must. The reader should cost
// a few such passes, not grow with the square of the features as look-ups by list would. Each
// parse reports `x_copy` and `x_lines`, its time as a multiple of those baselines in this run.
#include "host/ppd.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

namespace {

constexpr int kFeatures = 100000;

// Features as vendors write them: a translation, a default, options with translations and
// invocation values, one of them over two lines; the first hundred are installable options.
const std::string& GeneratedPpd() {
    static const std::string text = [] {
        std::string t = "*PPD-Adobe: \"4.3\"\n*NickName: \"Corvane Generated PS\"\n"
                        "*OpenGroup: InstallableOptions/Options Installed\n";
        for (int i = 0; i < kFeatures; ++i) {
            const std::string k = "F" + std::to_string(i);
            if (i == 100) t += "*CloseGroup: InstallableOptions\n";
            t += "*OpenUI *" + k + "/Feature " + std::to_string(i) + ": PickOne\n*Default" + k +
                 ": B\n*" + k + " A/First: \"<</A true>>\"\n*" + k +
                 " B/Second: \"<</B true>>\nsetpagedevice\"\n*CloseUI: *" + k + "\n";
        }
        return t;
    }();
    return text;
}

size_t CountLines(const std::string& text) {
    size_t lines = 0, start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\n') continue;
        lines += i > start; // a line with something on it
        start = i + 1;
    }
    return lines;
}

// Nanoseconds of `op`: median of 9 timed runs.
template <typename Op> double MedianNanoseconds(Op op) {
    std::vector<double> samples;
    for (int round = 0; round < 9; ++round) {
        const auto t0 = std::chrono::steady_clock::now();
        op();
        const auto t1 = std::chrono::steady_clock::now();
        samples.push_back(std::chrono::duration<double, std::nano>(t1 - t0).count());
    }
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

void CopyText() {
    std::string copy = GeneratedPpd();
    benchmark::DoNotOptimize(copy.data());
    benchmark::ClobberMemory();
}

void ScanLines() {
    benchmark::DoNotOptimize(CountLines(GeneratedPpd()));
}

void BM_PpdCopyBytes(benchmark::State& state) {
    for (auto _ : state)
        CopyText();
    state.SetBytesProcessed(state.iterations() * int64_t(GeneratedPpd().size()));
}
BENCHMARK(BM_PpdCopyBytes)->Unit(benchmark::kMillisecond);

void BM_PpdSplitLines(benchmark::State& state) {
    for (auto _ : state)
        ScanLines();
    state.SetBytesProcessed(state.iterations() * int64_t(GeneratedPpd().size()));
}
BENCHMARK(BM_PpdSplitLines)->Unit(benchmark::kMillisecond);

void BM_PpdParse100kFeatures(benchmark::State& state) {
    const std::string& text = GeneratedPpd();
    const double copyNs = MedianNanoseconds(CopyText);
    const double linesNs = MedianNanoseconds(ScanLines);
    const auto t0 = std::chrono::steady_clock::now();
    for (auto _ : state) {
        cvhost::PrinterModel model;
        std::string error;
        const bool ok = cvhost::ParsePpd(text, &model, &error);
        if (!ok || model.features.size() != kFeatures) state.SkipWithError("not parsed");
        benchmark::DoNotOptimize(model.features.data());
    }
    const auto t1 = std::chrono::steady_clock::now();
    const double perParse =
        std::chrono::duration<double, std::nano>(t1 - t0).count() / double(state.iterations());
    state.counters["x_copy"] = perParse / copyNs;
    state.counters["x_lines"] = perParse / linesNs;
    state.SetBytesProcessed(state.iterations() * int64_t(text.size()));
}
BENCHMARK(BM_PpdParse100kFeatures)->Unit(benchmark::kMillisecond);

} // namespace
