// Datalog runs through the window, offscreen, against the simulated card and
// sensor: the memory and write-out of a file of a million samples, and the
// sample rate of normal runs next to the rate the pauses allow.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench/datalog/BenchRig.h"
#include "ui/frmDatalog.h"

using namespace quenlor;

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

double PeakRssBytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) * 1024.0;  // kilobytes on Linux
}

struct RunFigures {
    double seconds = 0;
    double writeOutSeconds = 0;
    double fileBytes = 0;
};

// One run of one file with the first `registers` boxes ticked.
RunFigures RunThroughWindow(BenchRig& rig, long samples, int registers, int delayMs) {
    QPushButton readButton;
    frmDatalog window(rig.ctx(), readButton);
    window.show();
    window.findChild<QLineEdit*>("txtSamplesPerFile")->setText(QString::number(samples));
    window.findChild<QLineEdit*>("txtSampleDelay")->setText(QString::number(delayMs));
    for (int i = 1; i <= 8; ++i) {
        window.findChild<QCheckBox*>(QStringLiteral("CheckReg_%1").arg(i))
            ->setChecked(i <= registers);
    }
    // The bar reaches the sample count at the last sample's yield; what
    // follows until the click returns is the write-out of the file.
    Clock::time_point lastSample{};
    QObject::connect(window.findChild<QProgressBar*>("prgDatalog"), &QProgressBar::valueChanged,
                     &window, [&](int value) {
                         if (value == samples)
                             lastSample = Clock::now();
                     });
    auto* start = window.findChild<QPushButton*>("cmdStartDatalog");
    const auto begin = Clock::now();
    start->click();
    const auto end = Clock::now();
    RunFigures figures;
    figures.seconds = Seconds(begin, end);
    figures.writeOutSeconds = Seconds(lastSample, end);
    figures.fileBytes =
        static_cast<double>(std::filesystem::file_size(rig.dir() / "DATALOG_1.csv"));
    if (!rig.messages().boxes.empty()) {
        throw std::runtime_error("the run showed a message: " + rig.messages().boxes[0].text);
    }
    return figures;
}

// A million samples of all eight registers with the pauses shortened: peak
// memory against 1.3 x the file + 30 MB, write-out against 200 MB/s.
void BM_MillionSamplesMemoryAndWriteOut(benchmark::State& state) {
    BenchRig rig;
    rig.settings().DelayCalibrated = true;
    rig.settings().DelayCount10us = 1;
    RunFigures figures;
    double peakDelta = 0;
    for (auto _ : state) {
        const double before = PeakRssBytes();
        figures = RunThroughWindow(rig, 1000000, 8, 0);
        peakDelta = PeakRssBytes() - before;
        state.SetIterationTime(figures.seconds);
    }
    const double mb = 1e6;
    const double limit = 1.3 * figures.fileBytes + 30 * mb;
    const double writeRate = figures.fileBytes / figures.writeOutSeconds;
    state.counters["file_MB"] = figures.fileBytes / mb;
    state.counters["peak_rss_growth_MB"] = peakDelta / mb;
    state.counters["memory_limit_MB"] = limit / mb;
    state.counters["memory_vs_limit"] = peakDelta / limit;
    state.counters["write_MBps"] = writeRate / mb;
    state.counters["write_vs_200MBps"] = writeRate / (200 * mb);
    state.counters["samples_per_s"] = 1e6 / figures.seconds;
}

// A normal run with the calibrated delay: its sample rate next to the rate
// the pauses alone allow (one 0.1 ms pause per register read, plus the sample
// delay), timed in the same process just before.
void BM_SampleRateAgainstPauses(benchmark::State& state) {
    const int registers = static_cast<int>(state.range(0));
    const int delayMs = static_cast<int>(state.range(1));
    BenchRig rig;
    rig.delay().CalibrateDelay();
    const long samples = static_cast<long>(2.0 / (registers * 0.0001 + delayMs * 0.001));

    double pauseSeconds = 0;
    RunFigures figures;
    for (auto _ : state) {
        const auto begin = Clock::now();
        for (long s = 0; s < samples; ++s) {
            for (int r = 0; r < registers; ++r)
                rig.delay().DelayMs(0.1f);
            if (delayMs > 0)
                rig.delay().DelayMs(static_cast<float>(delayMs));
        }
        pauseSeconds = Seconds(begin, Clock::now());
        figures = RunThroughWindow(rig, samples, registers, delayMs);
        state.SetIterationTime(figures.seconds);
    }
    state.counters["samples"] = static_cast<double>(samples);
    state.counters["samples_per_s"] = samples / figures.seconds;
    state.counters["ceiling_per_s"] = samples / pauseSeconds;
    state.counters["rate_vs_ceiling"] = pauseSeconds / figures.seconds;
}

BENCHMARK(BM_MillionSamplesMemoryAndWriteOut)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);
BENCHMARK(BM_SampleRateAgainstPauses)
    ->Args({1, 0})
    ->Args({8, 0})
    ->Args({8, 1})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
