#include <algorithm>
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

// Samples of the ticked registers at every data-ready until `seconds` pass or
// Ctrl-C, into the channels' running sums; returns the samples' times.
std::vector<double> Acquire(CliRun& run, const std::vector<std::int16_t>& ticked,
                            std::int64_t seconds, std::vector<ChannelAnalysis>& channels) {
    RegisterAccess& registers = run.stack.registers;
    const auto temperature = std::find(ticked.begin(), ticked.end(), TEMP_OUT) - ticked.begin();
    const bool hasTemperature = temperature < static_cast<std::ptrdiff_t>(ticked.size());
    std::vector<double> values(ticked.size());
    std::vector<double> times;
    const auto start = Steady::now();
    double told = 0.0;
    for (double now = 0.0; now < static_cast<double>(seconds) && !Interrupt::Requested();
         now = SecondsSince(start)) {
        if (now - told >= 60.0) {
            told = now;
            std::cerr << "quenlor-cli: noise: " << static_cast<int>(now) << " of " << seconds
                      << " s, " << times.size() << " samples" << std::endl;
        }
        times.push_back(now);
        for (std::size_t c = 0; c < ticked.size(); ++c) {
            registers.ReadRegister(ticked[c]);
            values[c] = registers.RegisterReadResult.Scaled;
        }
        for (std::size_t c = 0; c < channels.size(); ++c) {
            if (hasTemperature && static_cast<std::ptrdiff_t>(c) != temperature)
                channels[c].Append(values[c], values[static_cast<std::size_t>(temperature)]);
            else
                channels[c].Append(values[c]);
        }
        WaitForDataReady(registers);
    }
    return times;
}

}  // namespace

int RunNoise(CliRun& run) {
    const auto ticked = OutputRegisters(run, "XACCL_OUT,YACCL_OUT,ZACCL_OUT,TEMP_OUT");
    const auto seconds = CountOption(run, "--seconds", 60, 86400);
    if (!ticked || !seconds)
        return kExitUsage;
    const double pace = MeasurePace(run.stack.registers);
    const auto planned = static_cast<std::int64_t>(pace * static_cast<double>(*seconds));
    // Samples go into the running sums as they come; only their times are kept.
    std::vector<ChannelAnalysis> channels;
    for (std::size_t c = 0; c < ticked->size(); ++c)
        channels.emplace_back(pace, planned);
    const std::vector<double> times = Acquire(run, *ticked, *seconds, channels);
    const auto spacing = SpacingOf(times);
    if (!spacing) {
        std::cerr << "quenlor-cli: noise: too few samples to analyse" << std::endl;
        return Interrupt::Requested() ? kExitInterrupted : kExitFailed;
    }
    // Missed samples leave the others unevenly spaced; the mean rate keeps the
    // averaging times right on the whole.
    double rate = spacing->rate;
    if (spacing->gaps > 0) {
        rate = static_cast<double>(times.size() - 1) / (times.back() - times.front());
        std::cerr << "quenlor-cli: noise: " << spacing->gaps
                  << " gaps between samples, the largest " << spacing->largestGap
                  << " s; the samples are analysed as evenly spaced at their mean rate, " << rate
                  << "/s" << std::endl;
    }
    std::vector<NamedSummary> rows;
    for (std::size_t c = 0; c < channels.size(); ++c) {
        channels[c].SetRate(rate);
        rows.push_back({"", run.stack.registerTable[(*ticked)[c]].Label, channels[c].Summary()});
    }
    const int status = ReportNoise(run, rows);
    return Interrupt::Requested() && status == kExitOk ? kExitInterrupted : status;
}

}  // namespace quenlor
