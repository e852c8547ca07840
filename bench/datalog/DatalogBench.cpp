// Datalog runs through the window, offscreen, against the simulated card and
// sensor: the memory and write-out of a file of a million samples, and the
// sample rate of normal runs next to the rate the pauses allow.

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/datalog/BenchRig.h"
#include "ui/datalog/frmDatalog.h"

using namespace quenlor;

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

double ThreadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double PeakRssBytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) * 1024.0;  // kilobytes on Linux
}

double TimedPlainWrite(const std::filesystem::path& path, const std::string& bytes, bool sync) {
    const auto begin = Clock::now();
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr)
        throw std::runtime_error("cannot write the peer file");
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fflush(out);
    if (sync)
        fsync(fileno(out));
    std::fclose(out);
    return Seconds(begin, Clock::now());
}

class HideWatch : public QObject {
  public:
    explicit HideWatch(Clock::time_point& when) : when_(when) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Hide)
            when_ = Clock::now();
        return QObject::eventFilter(watched, event);
    }

  private:
    Clock::time_point& when_;
};

struct RunFigures {
    double seconds = 0;
    double cpuSeconds = 0;
    double writeOutSeconds = 0;
    double fileBytes = 0;
};

// One run of one file with the first `registers` boxes ticked.
RunFigures RunThroughWindow(BenchRig& rig, long samples, int registers, int delayMs) {
    // The round before left its file: the window would ask before replacing it.
    std::filesystem::remove(rig.dir() / "DATALOG_1.csv");
    QPushButton readButton;
    frmDatalog window(rig.ctx(), readButton);
    window.show();
    // The window's first activation and paint are not the run's.
    for (int i = 0; i < 1000 && !window.isActiveWindow(); ++i)
        QCoreApplication::processEvents();
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
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
    // The progress label hides right after the file is complete.
    Clock::time_point fileDone{};
    HideWatch watch(fileDone);
    window.findChild<QLabel*>("LBLDatalogInProgress")->installEventFilter(&watch);
    auto* start = window.findChild<QPushButton*>("cmdStartDatalog");
    const auto begin = Clock::now();
    const double cpuBegin = ThreadCpuSeconds();
    start->click();
    const double cpuEnd = ThreadCpuSeconds();
    const auto end = Clock::now();
    RunFigures figures;
    figures.seconds = Seconds(begin, end);
    figures.cpuSeconds = cpuEnd - cpuBegin;
    figures.writeOutSeconds = Seconds(lastSample, fileDone);
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
    // Peers in the same run: the same bytes written plainly, with and without
    // the sync to disk that the write-out does before its rename.
    std::string bytes(static_cast<std::size_t>(figures.fileBytes), '\0');
    {
        std::FILE* in = std::fopen((rig.dir() / "DATALOG_1.csv").c_str(), "rb");
        if (in == nullptr || std::fread(bytes.data(), 1, bytes.size(), in) != bytes.size()) {
            throw std::runtime_error("cannot read the datalog file back");
        }
        std::fclose(in);
    }
    const double plain = TimedPlainWrite(rig.dir() / "peer.bin", bytes, false);
    const double synced = TimedPlainWrite(rig.dir() / "peer.bin", bytes, true);
    const double mb = 1e6;
    state.counters["peer_write_MBps"] = figures.fileBytes / plain / mb;
    state.counters["peer_synced_write_MBps"] = figures.fileBytes / synced / mb;
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
// delay), timed in the same process. The busy-wait's speed drifts with the
// shared machine's load and clock, so pause loops and runs alternate and the
// median of the adjacent pairs' ratios counts.
void BM_SampleRateAgainstPauses(benchmark::State& state) {
    const int registers = static_cast<int>(state.range(0));
    const int delayMs = static_cast<int>(state.range(1));
    BenchRig rig;
    rig.delay().CalibrateDelay();
    // A second of sampling per run: a file's own costs (opening, the first
    // repaint of the window, writing and syncing) are spread as over a file
    // of a long logging session, not concentrated in a blink.
    const long samples = static_cast<long>(1.0 / (registers * 0.0001 + delayMs * 0.001));
    constexpr int kRounds = 9;

    std::vector<double> ratios;
    std::vector<double> cpuRatios;
    double pauseTotal = 0;
    double runTotal = 0;
    for (auto _ : state) {
        for (int round = 0; round < kRounds; ++round) {
            const auto begin = Clock::now();
            const double cpuBegin = ThreadCpuSeconds();
            for (long s = 0; s < samples; ++s) {
                for (int r = 0; r < registers; ++r)
                    rig.delay().DelayMs(0.1f);
                if (delayMs > 0)
                    rig.delay().DelayMs(static_cast<float>(delayMs));
            }
            const double pauseCpu = ThreadCpuSeconds() - cpuBegin;
            const double pause = Seconds(begin, Clock::now());
            const RunFigures figures = RunThroughWindow(rig, samples, registers, delayMs);
            const double run = figures.seconds;
            cpuRatios.push_back(pauseCpu / figures.cpuSeconds);
            ratios.push_back(pause / run);
            pauseTotal += pause;
            runTotal += run;
        }
        state.SetIterationTime(runTotal);
    }
    std::sort(ratios.begin(), ratios.end());
    std::sort(cpuRatios.begin(), cpuRatios.end());
    state.counters["samples"] = static_cast<double>(samples * kRounds);
    state.counters["samples_per_s"] = static_cast<double>(samples * kRounds) / runTotal;
    state.counters["ceiling_per_s"] = static_cast<double>(samples * kRounds) / pauseTotal;
    state.counters["rate_vs_ceiling"] = ratios[ratios.size() / 2];
    state.counters["cpu_rate_vs_ceiling"] = cpuRatios[cpuRatios.size() / 2];
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
