// A small timing harness for the benchmarks that run under Wine (Google Benchmark has no MinGW
// build here). Each operation is timed on its own with QueryPerformanceCounter; the report is the
// median, and the ratio to a baseline measured in the same run, so that numbers from machines
// of different speed (and Wine's own overhead) compare.
#pragma once

#include <windows.h>
#include <prsht.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace cvbench {

struct Timing {
    double median = 0; // microseconds
    double low = 0;
    double high = 0;
    int runs = 0;
};

inline double Now() {
    static const double ticksPerMicrosecond = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart) / 1e6;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / ticksPerMicrosecond;
}

// Times `runs` samples after `warmup` untimed calls. A sample is `batch` calls of `op`, divided
// by `batch`, so that operations near the timer's resolution are still measured. `op` may time a
// part of its work itself: when it returns a positive number of microseconds, that is the sample
// (use batch 1 then).
template <typename Op> Timing Measure(int runs, int warmup, Op&& op, int batch = 1) {
    for (int i = 0; i < warmup; ++i)
        op();
    std::vector<double> samples;
    samples.reserve(static_cast<size_t>(runs));
    for (int i = 0; i < runs; ++i) {
        double own = 0;
        const double start = Now();
        for (int j = 0; j < batch; ++j)
            own += op();
        const double elapsed = Now() - start;
        samples.push_back((own > 0 ? own : elapsed) / batch);
    }
    std::sort(samples.begin(), samples.end());
    Timing t;
    t.runs = runs;
    t.median = samples[samples.size() / 2];
    t.low = samples.front();
    t.high = samples.back();
    return t;
}

// Several operations measured in turns, `rounds` times over (each round measures every
// operation once, in order), so that a slow spell of the machine falls on all of them alike.
// Returns each operation's median per round.
template <typename... Ops>
std::vector<std::vector<double>> Interleaved(int rounds, int runs, int warmup, int batch,
                                             Ops&&... ops) {
    std::vector<std::vector<double>> medians(sizeof...(Ops));
    for (int r = 0; r < rounds; ++r) {
        size_t i = 0;
        ((medians[i++].push_back(Measure(runs, warmup, ops, batch).median)), ...);
    }
    return medians;
}

// The median of the round medians and their spread (lowest to highest); with `floor` (the
// floor's medians of the same rounds), also the ratio of each round to its own floor.
inline void ReportRounds(const char* name, const std::vector<double>& rounds,
                         const std::vector<double>* floor) {
    const auto middle = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return std::vector<double>{v[v.size() / 2], v.front(), v.back()};
    };
    const std::vector<double> t = middle(rounds);
    std::printf("%-48s median %10.2f us  (rounds %.2f .. %.2f)", name, t[0], t[1], t[2]);
    if (floor && floor->size() == rounds.size()) {
        std::vector<double> ratios;
        for (size_t i = 0; i < rounds.size(); ++i)
            ratios.push_back((*floor)[i] > 0 ? rounds[i] / (*floor)[i] : 0);
        const std::vector<double> r = middle(ratios);
        std::printf("  ratio %.3g (%.3g .. %.3g)", r[0], r[1], r[2]);
    }
    std::printf("\n");
    std::fflush(stdout);
}

inline void Report(const char* name, const Timing& t, const Timing* baseline) {
    std::printf("%-48s median %10.2f us  (min %9.2f, max %10.2f, %4d runs)", name, t.median, t.low,
                t.high, t.runs);
    if (baseline && baseline->median > 0)
        std::printf("  ratio %10.4g", t.median / baseline->median);
    std::printf("\n");
    std::fflush(stdout);
}

// A page procedure timed for what a page does when it is made and first shown (WM_INITDIALOG
// and PSN_SETACTIVE); the time adds up in *Total, so a round can read what the page itself spent.
template <DLGPROC Proc, double* Total>
INT_PTR CALLBACK TimedPageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam) {
    const bool timed =
        msg == WM_INITDIALOG || (msg == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->code ==
                                                         static_cast<UINT>(PSN_SETACTIVE));
    const double start = timed ? Now() : 0;
    const INT_PTR result = Proc(page, msg, wParam, lParam);
    if (timed) *Total += Now() - start;
    return result;
}

} // namespace cvbench
