// The noise analysis at the sizes it meets: an overnight run's three axes, a
// live window's refresh of an hour at 400 samples/s, and the library's Allan
// deviation beside a plain implementation of the same estimator.

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <cmath>
#include <random>

#include "analysis/ChannelAnalysis.h"
#include "bench/analysis/ReferenceAllan.h"
#include "bench/core/LoadAverage.h"

namespace {

using namespace quenlor;

std::vector<double> Noise(std::int64_t n, std::uint64_t seed) {
    std::mt19937_64 random(seed);
    std::normal_distribution<double> white(0.5, 1e-3);
    std::normal_distribution<double> step(0.0, 1e-6);
    std::vector<double> y(static_cast<std::size_t>(n));
    double walk = 0.0;
    for (double& v : y) {
        walk += step(random);
        v = white(random) + walk;
    }
    return y;
}

double PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// Allan deviation with bounds and the spectrum of 10^7 samples of three axes,
// from the samples to the summaries.
void ThreeAxes(benchmark::State& state) {
    const std::int64_t n = state.range(0);
    const std::vector<std::vector<double>> axes = {Noise(n, 1), Noise(n, 2), Noise(n, 3)};
    double held = 0.0;
    for (auto _ : state) {
        std::vector<ChannelAnalysis> channels;
        for (const auto& axis : axes) {
            channels.emplace_back(400.0, n);
            channels.back().Append(axis);
        }
        for (const ChannelAnalysis& c : channels)
            benchmark::DoNotOptimize(c.Summary());
        held = 0.0;
        for (const ChannelAnalysis& c : channels)
            held += static_cast<double>(c.MemoryBytes());
    }
    state.counters["held/samples"] = held / (3.0 * static_cast<double>(n) * sizeof(double));
    state.counters["peak_MB"] = PeakMegabytes();
    state.counters["load"] = LoadAverage();
}
BENCHMARK(ThreeAxes)->Arg(10'000'000)->Unit(benchmark::kMillisecond)->Iterations(1);

// A live window's refresh: two seconds of new samples at 400/s onto an hour's
// run, then the summary the window draws.
void LiveRefresh(benchmark::State& state) {
    const std::int64_t n = 1'440'000;
    const std::vector<double> y = Noise(n + 800 * 64, 4);
    ChannelAnalysis channel(400.0, n);
    channel.Append(std::span<const double>(y.data(), static_cast<std::size_t>(n)));
    std::size_t at = static_cast<std::size_t>(n);
    for (auto _ : state) {
        if (at + 800 > y.size())
            at = static_cast<std::size_t>(n);
        for (std::size_t i = at; i < at + 800; ++i)
            channel.Append(y[i]);
        at += 800;
        benchmark::DoNotOptimize(channel.Summary());
    }
    state.counters["load"] = LoadAverage();
}
BENCHMARK(LiveRefresh)->Unit(benchmark::kMillisecond)->Iterations(32);

std::vector<std::int64_t> OctavesOf(std::int64_t n) {
    std::vector<std::int64_t> ms;
    for (std::int64_t m = 1; m * 4 <= n; m *= 2)
        ms.push_back(m);
    return ms;
}

void LibraryAllan(benchmark::State& state) {
    const std::vector<double> y = Noise(state.range(0), 5);
    const std::vector<double> reference = ReferenceAllan(y, OctavesOf(state.range(0)));
    double worst = 0.0;
    for (auto _ : state) {
        AllanAccumulator allan;
        allan.Reserve(state.range(0));
        allan.Append(y);
        const auto points = allan.Octaves(400.0);
        for (std::size_t k = 0; k < points.size(); ++k)
            worst = std::max(worst, std::abs(points[k].adev / reference[k] - 1.0));
    }
    state.counters["worst_relative_difference"] = worst;
    state.counters["load"] = LoadAverage();
}
BENCHMARK(LibraryAllan)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

void PlainAllan(benchmark::State& state) {
    const std::vector<double> y = Noise(state.range(0), 5);
    for (auto _ : state)
        benchmark::DoNotOptimize(ReferenceAllan(y, OctavesOf(state.range(0))));
    state.counters["load"] = LoadAverage();
}
BENCHMARK(PlainAllan)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
