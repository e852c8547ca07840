// How closely the busy-wait keeps to the requested time, on an idle machine
// and with a competing busy process on each core, next to the operating
// system's sleep for the same durations. Each benchmark reports the median of
// measured / requested as the counter "median_ratio" (and the 90th
// percentile as "p90_ratio").

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "bench/core/BusyProcesses.h"
#include "bench/core/LoadAverage.h"
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

double Percentile(std::vector<double> values, double share) {
    if (values.empty())
        return 0.0;
    const auto at = values.begin() + static_cast<std::ptrdiff_t>(double(values.size() - 1) * share);
    std::nth_element(values.begin(), at, values.end());
    return *at;
}

template <typename Wait>
void MeasureRatios(benchmark::State& state, Wait wait) {
    const double requestedUs = static_cast<double>(state.range(0));
    // Second argument 1: a busy process on each core competes for the whole run.
    const int competitors =
        state.range(1) != 0 ? static_cast<int>(std::thread::hardware_concurrency()) : 0;
    state.counters["load_avg"] = LoadAverage();
    BusyProcesses busy(competitors);
    state.counters["busy_processes"] = busy.started();
    std::vector<double> ratios;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        wait(static_cast<float>(requestedUs / 1000.0));
        const auto end = std::chrono::steady_clock::now();
        ratios.push_back(std::chrono::duration<double, std::micro>(end - start).count() /
                         requestedUs);
    }
    state.counters["requested_ms"] = requestedUs / 1000.0;
    state.counters["median_ratio"] = Percentile(ratios, 0.5);
    state.counters["p90_ratio"] = Percentile(ratios, 0.9);
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

// 0.1 ms (the pause after every register access), 1 ms and 50 ms, in
// microseconds; idle, then with the competing load.
BENCHMARK(BM_CalibratedDelayMs)->Args({100, 0})->Iterations(2000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CalibratedDelayMs)->Args({1000, 0})->Iterations(500)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CalibratedDelayMs)->Args({50000, 0})->Iterations(30)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CalibratedDelayMs)->Args({100, 1})->Iterations(2000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CalibratedDelayMs)->Args({1000, 1})->Iterations(500)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CalibratedDelayMs)->Args({50000, 1})->Iterations(30)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SleepFor)->Args({100, 0})->Iterations(2000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SleepFor)->Args({1000, 0})->Iterations(500)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SleepFor)->Args({50000, 0})->Iterations(30)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quenlor

BENCHMARK_MAIN();
