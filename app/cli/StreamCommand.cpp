#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>

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

std::int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void ReportTiming(const SampleTiming& timing) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "quenlor-cli: %llu samples, %.1f a second, %llu gaps (over 1.5 times the "
                  "median interval of %.3f ms)\n",
                  static_cast<unsigned long long>(timing.Samples()), timing.PassesPerSecond(),
                  static_cast<unsigned long long>(timing.Gaps()), timing.MedianIntervalNs() / 1e6);
    std::cerr << text;
}

}  // namespace

int RunStream(CliRun& run) {
    const auto ticked = OutputRegisters(run, OutputRegisterNames(","));
    const auto samples = CountOption(run, "--samples", INT64_MAX, INT64_MAX);
    if (!ticked || !samples)
        return kExitUsage;
    const bool raw = run.options.Has("--raw");
    const bool timed = run.options.Has("--time");
    RegisterAccess& registers = run.stack.registers;
    SampleTiming timing;

    std::string line;
    if (!run.options.Has("--no-header")) {
        std::vector<std::string> labels;
        for (std::int16_t i : *ticked)
            labels.push_back(run.stack.registerTable[i].Label);
        run.out << StreamHeaderLine(labels, timed) << "\n" << std::flush;
    }
    auto flushed = std::chrono::steady_clock::now();
    std::int64_t firstNs = 0;
    for (std::int64_t n = 0; n < *samples && !Interrupt::Requested();) {
        // The first sample is read at once; the others after their data-ready.
        const std::int64_t readyNs = NowNs();
        firstNs = n == 0 ? readyNs : firstNs;
        timing.Add(readyNs);
        line.clear();
        if (timed)
            line = StreamTimeField(static_cast<double>(readyNs - firstNs) / 1e9);
        for (std::int16_t i : *ticked) {
            registers.ReadRegister(i);
            const ReadResult& r = registers.RegisterReadResult;
            if (!line.empty())
                line += ',';
            line += raw ? std::to_string(r.Value) : StreamValueField(r.Scaled);
        }
        run.out << line << '\n';
        const auto now = std::chrono::steady_clock::now();
        if (now - flushed >= kFlushEvery) {
            run.out.flush();
            flushed = now;
        }
        if (++n < *samples)
            WaitForDataReady(registers);
    }
    run.out.flush();
    ReportTiming(timing);
    return Interrupt::Requested() ? kExitInterrupted : kExitOk;
}

}  // namespace quenlor
