#include <iostream>
#include <memory>

#include "app/cli/CliStack.h"
#include "app/cli/Commands.h"
#include "app/cli/Interrupt.h"
#include "app/cli/StderrMessageBoxes.h"
#include "app/front/ChosenBackends.h"
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

// The command over the back-ends the options choose, the simulated sensor's
// state kept for the next call when asked to.
int RunChosen(StderrMessageBoxes& messages, const CliOptions& options) {
    ChosenBackends chosen(options, messages);
    if (!chosen.failure().empty()) {
        std::cerr << "quenlor-cli: " << chosen.failure() << std::endl;
        return kExitFailed;
    }
    const int status = RunOn(chosen.backends(), messages, options);
    if (const std::string failure = chosen.KeepState(); !failure.empty()) {
        std::cerr << "quenlor-cli: " << failure << std::endl;
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
    return RunChosen(messages, *options);
}
