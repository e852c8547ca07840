#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/cli/CliOptions.h"
#include "app/cli/CliStack.h"

namespace quenlor {

struct NamedSummary;

// What a command works with: its command line, the objects over the chosen
// back-ends, and standard output.
struct CliRun {
    const CliOptions& options;
    CliStack& stack;
    std::ostream& out;
};

// Runs the command named in the options; returns the exit status.
int RunCommand(CliRun& run);

// The output registers of --registers (comma-separated names, any case), or
// of `fallback`, in table order; nullopt after a line on standard error.
std::optional<std::vector<std::int16_t>> OutputRegisters(CliRun& run, const std::string& fallback);
// A whole number option from 1 to `max`; nullopt after a line on standard error.
std::optional<std::int64_t> CountOption(CliRun& run, const std::string& option,
                                        std::int64_t fallback, std::int64_t max);

int RunScan(CliRun& run);
int RunRead(CliRun& run);
int RunWrite(CliRun& run);
int RunStatus(CliRun& run);
int RunClearStatus(CliRun& run);
int RunFlash(CliRun& run);
int RunDump(CliRun& run);
int RunRestore(CliRun& run);
int RunCompare(CliRun& run);
int RunStream(CliRun& run);
int RunLog(CliRun& run);
int RunNull(CliRun& run);
int RunAnalyze(CliRun& run);
int RunNoise(CliRun& run);

// Polls the data-ready bit of DIAG_STAT until it is set or Ctrl-C.
void WaitForDataReady(RegisterAccess& registers);
// The noise table on standard output, and the curves into --csv's file.
int ReportNoise(CliRun& run, const std::vector<NamedSummary>& rows);

}  // namespace quenlor
