// The read loop against the simulated sensor on real time with the calibrated
// delay, and the cost of one plotting pass of both charts. The window runs
// offscreen with both charts drawing.

#include <benchmark/benchmark.h>

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QTimer>
#include <chrono>
#include <memory>

#include "acquisition/BusTurn.h"
#include "core/Delay.h"
#include "platform/fake/BorrowedBackends.h"
#include "platform/fake/FakeLocaleInfo.h"
#include "platform/fake/FakeSystemInfo.h"
#include "platform/fake/FixedAppDirectory.h"
#include "platform/fake/RecordingMessageBoxes.h"
#include "regmap/StatusRegister.h"
#include "sim/SimAdapterCard.h"
#include "sim/SimParallelBoard.h"
#include "sim/SimSensor.h"
#include "stack/SensorStack.h"
#include "tests/ui/RigIoPermission.h"
#include "tests/ui/RigProcessRunner.h"
#include "tests/ui/RigRegistry.h"
#include "ui/common/QtClock.h"
#include "ui/common/QtCursor.h"
#include "ui/main/frm1.h"

namespace quenlor {

// The program's objects over the simulator, with the real clock and delay.
struct LiveRig {
    SimSensor sensor{7};
    SimAdapterCard card{sensor};
    SimParallelBoard board{sensor};
    RigRegistry registry;
    RigProcessRunner processes;
    RigIoPermission permission;
    RecordingMessageBoxes messages;
    FakeLocaleInfo locale;
    QtClock clock;
    QtCursor cursor;
    FixedAppDirectory appDir{"/tmp"};
    FakeSystemInfo systemInfo;
    BorrowedBackends backends{card, board, permission, registry, processes, systemInfo};
    SensorStack stack;
    RegisterAccess& registers = stack.registers();
    MainWindowContext ctx = MakeWindowContexts(stack, locale);
    std::unique_ptr<frm1> window;

    // `spin` none: the real pauses; else one that takes no time.
    explicit LiveRig(SpinFunction spin = {})
        : stack{backends, {messages, clock, cursor, appDir, std::move(spin)}} {
        card.placeCard(0);
        stack.settings().Interface = InterfaceUsb;
        stack.delay().CalibrateDelay();
        window = std::make_unique<frm1>(ctx);
        window->Form_Load();
        window->resize(760, 620);
        window->show();
        QApplication::processEvents();
    }
};

// Made on first use (the calibration takes seconds: once per run) and
// destroyed by main while the application object still exists.
std::unique_ptr<LiveRig>& RigHolder() {
    static std::unique_ptr<LiveRig> rig;
    return rig;
}

LiveRig& Rig() {
    if (!RigHolder())
        RigHolder() = std::make_unique<LiveRig>();
    return *RigHolder();
}

// The same with pauses that take no time: what a pass costs beyond its waits.
std::unique_ptr<LiveRig>& NoWaitRigHolder() {
    static std::unique_ptr<LiveRig> rig;
    return rig;
}

LiveRig& NoWaitRig() {
    if (!NoWaitRigHolder())
        NoWaitRigHolder() = std::make_unique<LiveRig>([](std::int32_t, std::int32_t) {});
    return *NoWaitRigHolder();
}

// The read loop's peer: the same register accesses and data-ready wait with
// no window (no yields, plots or repaints), for `seconds`. The samples it
// misses are what the machine takes: a process descheduled for longer than
// a pass has to spare loses the sample whatever the loop does.
std::uint64_t BareLoopMissed(LiveRig& rig, double seconds) {
    rig.sensor.resetReadyWatch();
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        for (std::int16_t i = 1; i <= 8; ++i)
            rig.registers.ReadRegister(i);
        do
            rig.registers.ReadRegister(DIAG_STAT);
        while (!IsDataReady(rig.registers.RegisterReadResult.Value));
    }
    return rig.sensor.readyWatch().missed();
}

// Runs the read loop for `seconds` at the sensor rate `rate` and counts passes
// by the sweep position, which a measuring timer samples (it drives no work).
void BM_ReadLoopAtRate(benchmark::State& state) {
    LiveRig& rig = Rig();
    const double rate = static_cast<double>(state.range(0));
    rig.sensor.setSampleRate(rate);
    double passes = 0, samples = 0, missed = 0, peerMissed = 0, seconds = 0;
    for (auto _ : state) {
        int last = static_cast<int>(rig.window->accelPlot().state().X);
        long counted = 0;
        QTimer probe;
        QObject::connect(&probe, &QTimer::timeout, [&] {
            const int x = static_cast<int>(rig.window->accelPlot().state().X);
            counted += (x - last + 400) % 400;
            last = x;
        });
        probe.start(20);
        QPushButton& button = rig.window->outputs().cmdReadData();
        // What the loop caught until Stop: handling the click takes a pass's
        // spare time, and the loop then ends, so the sample after is no miss.
        SimSensor::ReadyWatch caught;
        QTimer::singleShot(1000, &button, [&] {
            {
                // The sensor is the worker's while the loop runs.
                BusTurn turn(rig.stack.engine());
                caught = rig.sensor.readyWatch();
            }
            button.click();
        });
        const auto samplesBefore = rig.sensor.sampleCount();
        rig.sensor.resetReadyWatch();
        const auto t0 = std::chrono::steady_clock::now();
        button.click();  // returns when the loop has stopped
        const auto t1 = std::chrono::steady_clock::now();
        probe.stop();
        const int x = static_cast<int>(rig.window->accelPlot().state().X);
        counted += (x - last + 400) % 400;
        passes += static_cast<double>(counted);
        samples += static_cast<double>(rig.sensor.sampleCount() - samplesBefore);
        missed += static_cast<double>(caught.missed());
        seconds += std::chrono::duration<double>(t1 - t0).count();
        state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
        state.PauseTiming();
        peerMissed += static_cast<double>(BareLoopMissed(rig, 1.0));
        state.ResumeTiming();
    }
    // The ceiling: nine register accesses per pass, each ending with 0.1 ms.
    const double ceiling = 1.0 / (9 * 0.0001);
    state.counters["passes_per_s"] = passes / seconds;
    state.counters["samples_per_s"] = samples / seconds;
    // Samples the loop's data-ready wait did not see, from the first sample it
    // waited for to the last before Stop: the first pass reads at once, not
    // on a sample.
    state.counters["missed"] = missed;
    state.counters["peer_missed"] = peerMissed;
    // The cruder count, with the start and the end: what the sensor sampled
    // from the click to the loop's end, less the passes plotted.
    state.counters["samples_minus_passes"] = samples - passes;
    state.counters["ceiling_per_s"] = ceiling;
    state.counters["passes_vs_ceiling"] = passes / seconds / ceiling;
}
BENCHMARK(BM_ReadLoopAtRate)
    ->Arg(400)
    ->Arg(600)
    ->Arg(800)
    ->Arg(900)
    ->Arg(1000)
    ->Arg(1100)
    ->Arg(1300)
    ->Iterations(2)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The peer of one pass without the window: the nine register accesses alone,
// each with its 0.1 ms pause.
void BM_NineRegisterAccesses(benchmark::State& state) {
    LiveRig& rig = Rig();
    for (auto _ : state) {
        for (std::int16_t i = 1; i <= 8; ++i)
            rig.registers.ReadRegister(i);
        rig.registers.ReadRegister(DIAG_STAT);
    }
    state.counters["passes_per_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_NineRegisterAccesses)->Unit(benchmark::kMicrosecond);

// One pass of the read loop itself, idle caption: rows, yields, plots, one poll.
void BM_OneReadLoopPass(benchmark::State& state) {
    LiveRig& rig = Rig();
    rig.sensor.setSampleRate(100000);
    for (auto _ : state)
        rig.window->ReadLoop();
    state.counters["passes_per_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_OneReadLoopPass)->Unit(benchmark::kMicrosecond);

// The statistics' share of a pass: passes with the statistics paused and
// kept, alternately, so that both see the same load on the machine. Arg 0:
// the real pauses, a pass as the program runs it; arg 1: pauses that take no
// time, the pass's own work, where the statistics weigh most. The budget is a
// ratio of 1.05.
void BM_ReadLoopPassStatistics(benchmark::State& state) {
    LiveRig& rig = state.range(0) == 0 ? Rig() : NoWaitRig();
    rig.sensor.setSampleRate(100000);
    OutputStatistics& stats = rig.window->outputs().statistics();
    double off = 0, on = 0;
    bool keptFirst = false;
    for (auto _ : state) {
        for (const bool kept : {keptFirst, !keptFirst}) {
            stats.setPaused(!kept);
            const auto t0 = std::chrono::steady_clock::now();
            rig.window->ReadLoop();
            const auto t1 = std::chrono::steady_clock::now();
            (kept ? on : off) += std::chrono::duration<double, std::micro>(t1 - t0).count();
        }
        keptFirst = !keptFirst;
    }
    stats.setPaused(false);
    const auto n = static_cast<double>(state.iterations());
    state.counters["off_us"] = off / n;
    state.counters["on_us"] = on / n;
    state.counters["on_vs_off"] = on / off;
    state.counters["budget"] = 1.05;
}
BENCHMARK(BM_ReadLoopPassStatistics)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// One yield of the loop with nothing to do: the event dispatcher's own cost,
// paid 17 times a pass. Compare a run with QT_NO_GLIB set empty (GLib's
// dispatcher) with one without it (Qt's own, which the program uses).
void BM_YieldWithNothingPending(benchmark::State& state) {
    Rig();
    QApplication::processEvents();
    for (auto _ : state)
        QApplication::processEvents();
    state.SetLabel(QAbstractEventDispatcher::instance()->metaObject()->className());
}
BENCHMARK(BM_YieldWithNothingPending)->Unit(benchmark::kMicrosecond);

// One plotting pass of both charts, against the 50 microsecond budget.
void BM_PlotPassBothCharts(benchmark::State& state) {
    LiveRig& rig = Rig();
    OutputValueArray values{};
    float v = 0;
    for (auto _ : state) {
        v = v > 1.5f ? -1.5f : v + 0.01f;
        for (std::size_t i = 2; i <= 8; ++i)
            values[i] = v * static_cast<float>(i);
        float ah = 2, al = -2, ih = 180, il = -180;
        rig.window->PlotDataPointsAy(values, ah, al);
        rig.window->PlotDataPointsIy(values, ih, il);
        if ((state.iterations() & 63) == 0) {
            state.PauseTiming();
            QApplication::processEvents();  // let the repaints happen outside the timing
            state.ResumeTiming();
        }
    }
    state.counters["budget_us"] = 50;
}
BENCHMARK(BM_PlotPassBothCharts)->Unit(benchmark::kMicrosecond);

}  // namespace quenlor

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The program's dispatcher (app/main.cpp), unless QT_NO_GLIB is given.
    if (!qEnvironmentVariableIsSet("QT_NO_GLIB"))
        qputenv("QT_NO_GLIB", "1");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    quenlor::RigHolder().reset();
    quenlor::NoWaitRigHolder().reset();
    return 0;
}
