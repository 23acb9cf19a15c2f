// Devmode merge against a plain copy of the record: the merge runs on every DevMode call the
// driver makes, so it should cost little more than moving the bytes. Each merge benchmark
// reports `x_memcpy`, its time per call as a multiple of a 7672-byte memcpy timed in this run.
#include "core/records.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

using namespace cv;

namespace {

PluginDevmode Defaults() {
    PluginDevmode dm{};
    defaultPluginDevmode(&dm);
    return dm;
}

void CopyRecord(PluginDevmode* out, const PluginDevmode* in) {
    benchmark::DoNotOptimize(in);
    std::memcpy(out, in, sizeof *out);
    benchmark::DoNotOptimize(out);
    benchmark::ClobberMemory();
}

// Nanoseconds per 7672-byte memcpy: median of 15 timed batches.
double MemcpyNanoseconds() {
    static const double ns = [] {
        static PluginDevmode in = Defaults(), out{};
        std::vector<double> samples;
        for (int round = 0; round < 15; ++round) {
            constexpr int kBatch = 20000;
            const auto t0 = std::chrono::steady_clock::now();
            for (int i = 0; i < kBatch; ++i) CopyRecord(&out, &in);
            const auto t1 = std::chrono::steady_clock::now();
            samples.push_back(std::chrono::duration<double, std::nano>(t1 - t0).count() / kBatch);
        }
        std::sort(samples.begin(), samples.end());
        return samples[samples.size() / 2];
    }();
    return ns;
}

void ReportRatio(benchmark::State& state, double elapsedNs) {
    const double perCall = elapsedNs / static_cast<double>(state.iterations());
    state.counters["x_memcpy"] = perCall / MemcpyNanoseconds();
}

void BM_Memcpy7672(benchmark::State& state) {
    PluginDevmode in = Defaults(), out{};
    for (auto _ : state) CopyRecord(&out, &in);
}
BENCHMARK(BM_Memcpy7672);

template <bool kForeign> void BM_Merge(benchmark::State& state) {
    PluginDevmode in = Defaults(), out = Defaults();
    in.brightness = 3;
    in.outputTo = 4;
    if (kForeign) in.dwSignature = 0x41424344;
    MemcpyNanoseconds();
    const auto t0 = std::chrono::steady_clock::now();
    for (auto _ : state) {
        benchmark::DoNotOptimize(&in);
        mergePluginDevmode(&in, &out);
        benchmark::DoNotOptimize(&out);
        benchmark::ClobberMemory();
    }
    const auto t1 = std::chrono::steady_clock::now();
    ReportRatio(state, std::chrono::duration<double, std::nano>(t1 - t0).count());
}
BENCHMARK_TEMPLATE(BM_Merge, false)->Name("BM_MergeValid");
BENCHMARK_TEMPLATE(BM_Merge, true)->Name("BM_MergeForeignSignature");

} // namespace
