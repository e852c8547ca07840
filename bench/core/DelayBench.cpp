// How closely the calibrated busy-wait keeps to the requested time, next to
// the operating system's sleep for the same durations. Each benchmark reports
// the median of measured / requested as the counter "median_ratio".

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

#include "bench/core/WallClock.h"
#include "core/Delay.h"
#include "platform/fake/RecordingCursor.h"

namespace quenlor {
namespace {

// One real calibration (about four seconds), shared by every benchmark.
struct CalibratedDelay {
    Settings settings;
    WallClock clock;
    RecordingCursor cursor;
    Delay delay{settings, clock, cursor};

    CalibratedDelay() { delay.CalibrateDelay(); }
};

CalibratedDelay& Calibrated() {
    static CalibratedDelay instance;
    return instance;
}

double Median(std::vector<double> values) {
    if (values.empty())
        return 0.0;
    const auto mid = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), mid, values.end());
    return *mid;
}

template <typename Wait>
void MeasureRatios(benchmark::State& state, Wait wait) {
    const double requestedUs = static_cast<double>(state.range(0));
    std::vector<double> ratios;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        wait(static_cast<float>(requestedUs / 1000.0));
        const auto end = std::chrono::steady_clock::now();
        ratios.push_back(std::chrono::duration<double, std::micro>(end - start).count() /
                         requestedUs);
    }
    state.counters["requested_ms"] = requestedUs / 1000.0;
    state.counters["median_ratio"] = Median(ratios);
}

void BM_CalibratedDelayMs(benchmark::State& state) {
    Delay& delay = Calibrated().delay;
    state.counters["count_per_10us"] = Calibrated().settings.DelayCount10us;
    MeasureRatios(state, [&delay](float ms) { delay.DelayMs(ms); });
}

void BM_SleepFor(benchmark::State& state) {
    MeasureRatios(state, [](float ms) {
        std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(ms));
    });
}

// 0.1 ms (the pause after every register access), 1 ms and 50 ms, in microseconds.
BENCHMARK(BM_CalibratedDelayMs)->Arg(100)->Iterations(2000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SleepFor)->Arg(100)->Iterations(2000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CalibratedDelayMs)->Arg(1000)->Iterations(500)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SleepFor)->Arg(1000)->Iterations(500)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CalibratedDelayMs)->Arg(50000)->Iterations(30)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SleepFor)->Arg(50000)->Iterations(30)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quenlor

BENCHMARK_MAIN();
