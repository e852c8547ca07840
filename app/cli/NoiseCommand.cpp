#include <chrono>
#include <iostream>

#include "analysis/NoiseRun.h"
#include "app/cli/Commands.h"
#include "app/cli/Interrupt.h"

namespace quenlor {

namespace {

using Steady = std::chrono::steady_clock;

double SecondsSince(Steady::time_point start) {
    return std::chrono::duration<double>(Steady::now() - start).count();
}

// Samples of the ticked registers at every data-ready until `seconds` pass or
// Ctrl-C, each timed when its data-ready was seen.
void Acquire(CliRun& run, const std::vector<std::int16_t>& ticked, std::int64_t seconds,
             NoiseRun& noise) {
    RegisterAccess& registers = run.stack.registers;
    std::vector<float> values(ticked.size());
    const auto start = Steady::now();
    double told = 0.0;
    for (double now = 0.0; now < static_cast<double>(seconds) && !Interrupt::Requested();
         now = SecondsSince(start)) {
        if (now - told >= 60.0) {
            told = now;
            std::cerr << "quenlor-cli: noise: " << static_cast<int>(now) << " of " << seconds
                      << " s, " << noise.Samples() << " samples" << std::endl;
        }
        for (std::size_t c = 0; c < ticked.size(); ++c) {
            registers.ReadRegister(ticked[c]);
            values[c] = registers.RegisterReadResult.Scaled;
        }
        noise.Add(now, values);
        WaitForDataReady(registers);
    }
}

}  // namespace

int RunNoise(CliRun& run) {
    const auto ticked = OutputRegisters(run, "XACCL_OUT,YACCL_OUT,ZACCL_OUT,TEMP_OUT");
    const auto seconds = CountOption(run, "--seconds", 60, 86400);
    if (!ticked || !seconds)
        return kExitUsage;
    std::vector<std::string> labels;
    for (std::int16_t i : *ticked)
        labels.push_back(run.stack.registerTable[i].Label);
    NoiseRun noise(labels, static_cast<double>(*seconds), false);
    Acquire(run, *ticked, *seconds, noise);
    const std::vector<NamedSummary> rows = noise.Summaries();
    if (rows.empty()) {
        std::cerr << "quenlor-cli: noise: too few samples to analyse" << std::endl;
        return Interrupt::Requested() ? kExitInterrupted : kExitFailed;
    }
    // Missed samples would stretch the averaging times: only even stretches count.
    if (noise.Gaps() > 0)
        std::cerr << "quenlor-cli: noise: " << noise.Gaps() << " gaps between samples, the largest "
                  << noise.LargestGap() << " s; the curves are taken over the even stretches "
                  << "between them only, at " << noise.Rate() << "/s" << std::endl;
    const int status = ReportNoise(run, rows);
    return Interrupt::Requested() && status == kExitOk ? kExitInterrupted : status;
}

}  // namespace quenlor
