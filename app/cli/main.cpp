#include <filesystem>
#include <iostream>
#include <memory>

#include "app/RealBackends.h"
#include "app/SimBackends.h"
#include "app/SimState.h"
#include "app/cli/CliStack.h"
#include "app/cli/Commands.h"
#include "app/cli/Interrupt.h"
#include "app/cli/StderrMessageBoxes.h"
#include "core/Version.h"

namespace {

using namespace quenlor;

int UsageError(const std::string& error) {
    std::cerr << "quenlor-cli: " << error << "\nTry 'quenlor-cli --help'." << std::endl;
    return kExitUsage;
}

// The command over the chosen back-ends; a box shown meanwhile is a failure.
int RunOn(Backends& backends, StderrMessageBoxes& messages, const CliOptions& options) {
    ConsoleSeams seams;
    CliStack stack(backends, messages, seams);
    CliRun run{options, stack, std::cout};
    const int status = RunCommand(run);
    if (status == kExitOk && messages.count() > 0)
        return kExitFailed;
    return status;
}

int RunSimulated(StderrMessageBoxes& messages, const CliOptions& options) {
    SimBackends sim(options.simTrace, options.simSeed);
    if (!options.simTrace.empty() && !sim.traceOk()) {
        std::cerr << "quenlor-cli: cannot write the bus trace " << options.simTrace << std::endl;
        return kExitFailed;
    }
    if (options.simRate)
        sim.sensor().setSampleRate(*options.simRate);
    if (options.simStill)
        sim.holdStill(options.simUp);
    std::string error;
    const std::string& state = options.simState;
    if (!state.empty() && std::filesystem::exists(state) &&
        !SimState::Load(state, sim.sensor(), error)) {
        std::cerr << "quenlor-cli: " << error << std::endl;
        return kExitFailed;
    }
    const int status = RunOn(sim, messages, options);
    if (!state.empty() && !SimState::Save(state, sim.sensor())) {
        std::cerr << "quenlor-cli: cannot write the simulator state " << state << std::endl;
        return status == kExitOk ? kExitFailed : status;
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    std::string error;
    const auto options = CliOptions::Parse({argv + 1, argv + argc}, error);
    if (!options)
        return UsageError(error);
    if (options->version) {
        std::cout << "quenlor-cli " << kVersion << "\n";
        return kExitOk;
    }
    if (options->help || options->command == "help") {
        const std::string topic = options->command == "help" && !options->args.empty()
                                      ? options->args[0]
                                      : options->command;
        std::cout << CliOptions::HelpText(topic == "help" ? std::string{} : topic);
        return kExitOk;
    }
    Interrupt::Catch();
    StderrMessageBoxes messages;
    if (options->simulate)
        return RunSimulated(messages, *options);
    RealBackends real(messages);
    return RunOn(real, messages, *options);
}
