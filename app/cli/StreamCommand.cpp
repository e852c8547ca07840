#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "acquisition/ReadLoop.h"
#include "acquisition/SampleQueue.h"
#include "acquisition/SampleTiming.h"
#include "analysis/SampleStream.h"
#include "app/cli/Commands.h"
#include "app/cli/Interrupt.h"
#include "regmap/RegisterGroups.h"
#include "regmap/StatusRegister.h"

namespace quenlor {

namespace {

// Lines reach a pipe at least this often, without a write per line.
constexpr auto kFlushEvery = std::chrono::milliseconds(50);

}  // namespace

void WaitForDataReady(RegisterAccess& registers) {
    do {
        registers.ReadRegister(DIAG_STAT);
    } while (!IsDataReady(registers.RegisterReadResult.Value) && !Interrupt::Requested());
}

namespace {

void ReportTiming(const SampleTiming& timing, std::uint64_t dropped) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "quenlor-cli: %llu samples, %.1f a second, %llu gaps (over 1.5 times the "
                  "median interval of %.3f ms)\n",
                  static_cast<unsigned long long>(timing.Samples()), timing.PassesPerSecond(),
                  static_cast<unsigned long long>(timing.Gaps()), timing.MedianIntervalNs() / 1e6);
    std::cerr << text;
    if (dropped > 0) {
        std::cerr << "quenlor-cli: " << dropped
                  << " samples were read but not written: the output did not keep up" << std::endl;
    }
}

// Writes the samples the worker took, one line each, and flushes at least
// every kFlushEvery.
class StreamWriter {
  public:
    StreamWriter(CliRun& run, const std::vector<std::int16_t>& ticked)
        : out_(run.out),
          ticked_(ticked),
          raw_(run.options.Has("--raw")),
          timed_(run.options.Has("--time")) {}

    void Header(const RegisterTable& table) {
        std::vector<std::string> labels;
        for (std::int16_t i : ticked_)
            labels.push_back(table[i].Label);
        out_ << StreamHeaderLine(labels, timed_) << "\n" << std::flush;
    }
    void Write(const std::vector<Sample>& samples) {
        for (const Sample& sample : samples)
            WriteLine(sample);
        const auto now = std::chrono::steady_clock::now();
        if (now - flushed_ >= kFlushEvery) {
            out_.flush();
            flushed_ = now;
        }
    }
    const SampleTiming& timing() const { return timing_; }

  private:
    void WriteLine(const Sample& sample) {
        firstNs_ = timing_.Samples() == 0 ? sample.readyNs : firstNs_;
        timing_.Add(sample.readyNs);
        line_.clear();
        if (timed_)
            line_ = StreamTimeField(static_cast<double>(sample.readyNs - firstNs_) / 1e9);
        for (std::int16_t i : ticked_) {
            const auto row = static_cast<std::size_t>(i);
            if (!line_.empty())
                line_ += ',';
            line_ += raw_ ? std::to_string(sample.raw[row]) : StreamValueField(sample.values[row]);
        }
        out_ << line_ << '\n';
    }

    std::ostream& out_;
    const std::vector<std::int16_t>& ticked_;
    const bool raw_;
    const bool timed_;
    std::string line_;
    SampleTiming timing_;
    std::int64_t firstNs_ = 0;
    std::chrono::steady_clock::time_point flushed_ = std::chrono::steady_clock::now();
};

}  // namespace

// The read loop of the main window on the acquisition worker, the ticked rows
// being the chosen registers; this thread writes what it took.
int RunStream(CliRun& run) {
    const auto ticked = OutputRegisters(run, OutputRegisterNames(","));
    const auto samples = CountOption(run, "--samples", INT64_MAX, INT64_MAX);
    if (!ticked || !samples)
        return kExitUsage;
    StreamWriter writer(run, *ticked);
    if (!run.options.Has("--no-header"))
        writer.Header(run.stack.registerTable);
    if (Interrupt::Requested())
        return kExitInterrupted;

    LoopControls controls;
    for (std::int16_t i : *ticked)
        controls.ticks[static_cast<std::size_t>(i)] = true;
    controls.running = true;
    controls.passLimit = static_cast<std::uint64_t>(*samples);
    SampleQueue queue;
    AcquisitionEngine& engine = run.stack.stack.engine();
    ReadLoop loop(run.stack.registers, run.stack.seams, engine, controls, queue,
                  [] { return true; });
    if (!engine.Start([&loop] { loop.Run(); }))
        return kExitFailed;
    std::vector<Sample> taken;
    for (bool more = true; more;) {
        more = engine.Active();
        engine.ServeOwnerFor(kFlushEvery / 2);
        // Ctrl-C ends the loop as STOP does: the pass in progress is written.
        if (Interrupt::Requested())
            controls.running = false;
        taken.clear();
        queue.TakeAll(taken);
        writer.Write(taken);
    }
    engine.Wait();
    run.out.flush();
    ReportTiming(writer.timing(), queue.Dropped());
    return Interrupt::Requested() ? kExitInterrupted : kExitOk;
}

}  // namespace quenlor
