// Register reads per second through the whole stack (RegisterAccess down to
// the simulated card or parallel-port board and the simulated sensor), with
// the real calibrated pauses, next to the most the pauses allow.
//
// A read over USB pauses once (0.1 ms after the access); over the parallel
// port three times (after each of its two frames and after the access). The
// ceiling is 1 / (pauses + the read's own cost), where the own cost is the
// same read on a twin stack whose pause spins not at all, timed in the same
// rounds, alternating with the paused reads so both see the same machine load.
//
// Counters: reads_per_s, ceiling_per_s, ratio (reads over ceiling; 1 is the
// best possible), own_cost_us, pause_us (the time one pause actually took)
// and the 1-minute load average at the start.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <utility>

#include "bench/core/LoadAverage.h"
#include "bench/core/WallClock.h"
#include "core/Delay.h"
#include "core/Settings.h"
#include "platform/fake/BorrowedBackends.h"
#include "platform/fake/FakeProcessRunner.h"
#include "platform/fake/FakeRegistry.h"
#include "platform/fake/FakeSystemInfo.h"
#include "platform/fake/FixedAppDirectory.h"
#include "platform/fake/RecordingCursor.h"
#include "platform/fake/RecordingMessageBoxes.h"
#include "sim/SimAdapterCard.h"
#include "sim/SimParallelBoard.h"
#include "sim/SimSensor.h"
#include "stack/SensorStack.h"

namespace quenlor {
namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr double kPauseSeconds = 1e-4;
constexpr int kReadsPerRound = 20;

void NoSpin(std::int32_t, std::int32_t) {}

// One real calibration (about four seconds) for every stack of the run.
Settings& CalibratedSettings() {
    static Settings settings = [] {
        Settings s;
        WallClock clock;
        RecordingCursor cursor;
        Delay delay(s, clock, cursor);
        delay.CalibrateDelay();
        return s;
    }();
    return settings;
}

// The program's objects over the simulator, on one interface.
struct ReadStack {
    WallClock clock;
    RecordingCursor cursor;
    RecordingMessageBoxes boxes;
    FixedAppDirectory appDir{"."};
    SimSensor sensor;
    SimAdapterCard card{sensor};
    SimParallelBoard board{sensor};
    FakeRegistry registry;
    FakeProcessRunner processes;
    FakeSystemInfo systemInfo;
    BorrowedBackends backends{card, board, board, registry, processes, systemInfo};
    SensorStack stack;
    Settings& settings = stack.settings();
    EzUsbAccess& usb = stack.usb();
    RegisterAccess& regs = stack.registers();

    ReadStack(const Settings& calibrated, std::int16_t iface, SpinFunction spin)
        : stack(backends, {boxes, clock, cursor, appDir, std::move(spin)}) {
        settings = calibrated;
        settings.Interface = iface;
        settings.PortAddress = 0x378;
        stack.registerTable().BuildRegisterTable();
        if (iface == InterfaceUsb) {
            card.placeCard(0);
            usb.FindUsbBuffers();
        } else {
            stack.parallel().ParPortInit();
        }
    }

    bool healthy() const {
        return boxes.boxes.empty() && (settings.Interface != InterfaceUsb || usb.UsbReady());
    }
};

double TimedReads(ReadStack& stack) {
    const auto start = SteadyClock::now();
    for (int i = 0; i < kReadsPerRound; ++i) {
        stack.regs.ReadRegister(XACCL_OUT);
        benchmark::DoNotOptimize(stack.regs.RegisterReadResult.Value);
    }
    return std::chrono::duration<double>(SteadyClock::now() - start).count();
}

void BM_ReadRegister(benchmark::State& state, std::int16_t iface, int pauses) {
    const double load = LoadAverage();
    auto paused = std::make_unique<ReadStack>(CalibratedSettings(), iface, nullptr);
    auto bare = std::make_unique<ReadStack>(CalibratedSettings(), iface, &NoSpin);
    if (!paused->healthy() || !bare->healthy()) {
        state.SkipWithError("the simulated interface did not come up");
        return;
    }

    double pausedSeconds = 0.0;
    double bareSeconds = 0.0;
    for (auto _ : state) {
        const double t = TimedReads(*paused);
        state.SetIterationTime(t);
        pausedSeconds += t;
        bareSeconds += TimedReads(*bare);
    }
    if (!paused->healthy() || !bare->healthy()) {
        state.SkipWithError("a read failed");
        return;
    }

    const double reads = static_cast<double>(state.iterations()) * kReadsPerRound;
    const double ownCost = bareSeconds / reads;
    const double readsPerSecond = reads / pausedSeconds;
    const double ceiling = 1.0 / (pauses * kPauseSeconds + ownCost);
    state.counters["reads_per_s"] = readsPerSecond;
    state.counters["ceiling_per_s"] = ceiling;
    state.counters["ratio"] = readsPerSecond / ceiling;
    state.counters["own_cost_us"] = ownCost * 1e6;
    // What each calibrated 0.1 ms pause actually took.
    state.counters["pause_us"] = (pausedSeconds - bareSeconds) / reads / pauses * 1e6;
    state.counters["load_1min"] = load;
    state.counters["count_per_10us"] = CalibratedSettings().DelayCount10us;
}

BENCHMARK_CAPTURE(BM_ReadRegister, usb, InterfaceUsb, 1)
    ->UseManualTime()
    ->Iterations(500)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadRegister, parallel, InterfaceParallel, 3)
    ->UseManualTime()
    ->Iterations(200)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quenlor

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    // Calibrate before the first benchmark, so no benchmark's time includes it.
    std::printf("Calibrated: %d iterations per 10 us\n",
                static_cast<int>(quenlor::CalibratedSettings().DelayCount10us));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
