#include <chrono>
#include <string>

#include "app/cli/Commands.h"
#include "app/cli/Interrupt.h"
#include "core/NumberFormat.h"
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

int RunStream(CliRun& run) {
    const auto ticked = OutputRegisters(run, OutputRegisterNames(","));
    const auto samples = CountOption(run, "--samples", INT64_MAX, INT64_MAX);
    if (!ticked || !samples)
        return kExitUsage;
    const bool raw = run.options.Has("--raw");
    RegisterAccess& registers = run.stack.registers;

    std::string line;
    if (!run.options.Has("--no-header")) {
        for (std::int16_t i : *ticked)
            line += (line.empty() ? "" : ",") + run.stack.registerTable[i].Label;
        run.out << line << "\n" << std::flush;
    }
    auto flushed = std::chrono::steady_clock::now();
    for (std::int64_t n = 0; n < *samples && !Interrupt::Requested();) {
        line.clear();
        for (std::int16_t i : *ticked) {
            registers.ReadRegister(i);
            const ReadResult& r = registers.RegisterReadResult;
            if (!line.empty())
                line += ',';
            line += raw ? std::to_string(r.Value) : FormatGeneral(r.Scaled);
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
    return Interrupt::Requested() ? kExitInterrupted : kExitOk;
}

}  // namespace quenlor
