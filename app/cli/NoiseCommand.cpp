#include <chrono>
#include <iostream>

#include "analysis/NoiseReport.h"
#include "analysis/SeriesTiming.h"
#include "app/cli/Commands.h"
#include "app/cli/Interrupt.h"

namespace quenlor {

namespace {

using Steady = std::chrono::steady_clock;

double SecondsSince(Steady::time_point start) {
    return std::chrono::duration<double>(Steady::now() - start).count();
}

// The data-ready pace over a few samples, to size the spectrum's segments.
double MeasurePace(RegisterAccess& registers) {
    constexpr int kSamples = 16;
    const auto start = Steady::now();
    for (int i = 0; i < kSamples && !Interrupt::Requested(); ++i)
        WaitForDataReady(registers);
    const double seconds = SecondsSince(start);
    return seconds > 0.0 ? kSamples / seconds : 1.0;
}

}  // namespace

int RunNoise(CliRun& run) {
    const auto ticked = OutputRegisters(run, "XACCL_OUT,YACCL_OUT,ZACCL_OUT,TEMP_OUT");
    const auto seconds = CountOption(run, "--seconds", 60, 86400);
    if (!ticked || !seconds)
        return kExitUsage;
    RegisterAccess& registers = run.stack.registers;
    const double pace = MeasurePace(registers);
    const auto planned = static_cast<std::int64_t>(pace * static_cast<double>(*seconds));

    // Samples go into the running sums as they come; only their times are kept.
    std::vector<ChannelAnalysis> channels;
    std::ptrdiff_t temperature = -1;
    for (std::int16_t i : *ticked) {
        channels.emplace_back(pace, planned);
        if (i == TEMP_OUT)
            temperature = static_cast<std::ptrdiff_t>(channels.size()) - 1;
    }
    std::vector<double> values(ticked->size());
    std::vector<double> times;
    times.reserve(static_cast<std::size_t>(planned) + 1);
    const auto start = Steady::now();
    double told = 0.0;
    while (!Interrupt::Requested()) {
        const double now = SecondsSince(start);
        if (now >= static_cast<double>(*seconds))
            break;
        if (now - told >= 60.0) {
            told = now;
            std::cerr << "quenlor-cli: noise: " << static_cast<int>(now) << " of " << *seconds
                      << " s, " << times.size() << " samples" << std::endl;
        }
        times.push_back(now);
        for (std::size_t c = 0; c < ticked->size(); ++c) {
            registers.ReadRegister((*ticked)[c]);
            values[c] = registers.RegisterReadResult.Scaled;
        }
        for (std::size_t c = 0; c < channels.size(); ++c) {
            if (temperature >= 0 && static_cast<std::ptrdiff_t>(c) != temperature)
                channels[c].Append(values[c], values[static_cast<std::size_t>(temperature)]);
            else
                channels[c].Append(values[c]);
        }
        WaitForDataReady(registers);
    }
    const auto spacing = SpacingOf(times);
    if (!spacing) {
        std::cerr << "quenlor-cli: noise: too few samples to analyse" << std::endl;
        return Interrupt::Requested() ? kExitInterrupted : kExitFailed;
    }
    if (spacing->gaps > 0)
        std::cerr << "quenlor-cli: noise: " << spacing->gaps
                  << " gaps between samples, the largest " << spacing->largestGap
                  << " s; the samples are analysed as evenly spaced" << std::endl;
    std::vector<NamedSummary> rows;
    for (std::size_t c = 0; c < channels.size(); ++c) {
        channels[c].SetRate(spacing->rate);
        rows.push_back({"", run.stack.registerTable[(*ticked)[c]].Label, channels[c].Summary()});
    }
    const int status = ReportNoise(run, rows);
    return Interrupt::Requested() && status == kExitOk ? kExitInterrupted : status;
}

}  // namespace quenlor
