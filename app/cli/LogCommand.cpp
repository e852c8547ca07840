#include <charconv>
#include <filesystem>
#include <iostream>

#include "app/cli/CliDatalogHost.h"
#include "app/cli/Commands.h"
#include "app/cli/Interrupt.h"
#include "core/NumberFormat.h"
#include "datalog/DatalogNaming.h"
#include "datalog/DatalogRun.h"

namespace quenlor {

namespace {

// The delay text as the window's box would hold it after its correction; a
// usage error instead of a silent correction.
bool DelayText(CliRun& run, std::string& text) {
    const std::string* given = run.options.Value("--delay");
    text = given != nullptr ? *given : "0";
    double ms = -1;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), ms);
    if (r.ec == std::errc() && r.ptr == text.data() + text.size() && ms >= 0 && ms <= 32000)
        return true;
    std::cerr << "quenlor-cli: --delay needs milliseconds from 0 to 32000, not " << text
              << std::endl;
    return false;
}

std::optional<std::filesystem::path> Folder(CliRun& run) {
    const std::string* given = run.options.Value("--dir");
    std::error_code ec;
    const std::filesystem::path folder =
        given != nullptr ? std::filesystem::path(*given) : std::filesystem::current_path(ec);
    if (!ec && std::filesystem::is_directory(folder, ec))
        return folder;
    std::cerr << "quenlor-cli: " << (given != nullptr ? *given : "the current folder")
              << " is not a folder" << std::endl;
    return std::nullopt;
}

}  // namespace

int RunLog(CliRun& run) {
    const auto ticked = OutputRegisters(run, "XACCL_OUT");
    const auto samples = CountOption(run, "--samples", 1000, 2147483647);
    const auto files = CountOption(run, "--files", 1, 2000000000);
    std::string delay;
    if (!ticked || !samples || !files || !DelayText(run, delay))
        return kExitUsage;
    const std::string* name = run.options.Value("--name");
    const std::string baseName = name != nullptr ? *name : "DATALOG";
    if (!IsPlainBaseName(baseName)) {
        std::cerr << "quenlor-cli: --name takes a file name without a folder, not " << baseName
                  << std::endl;
        return kExitUsage;
    }
    const auto folder = Folder(run);
    if (!folder)
        return kExitUsage;

    std::array<bool, 9> selected{};
    for (std::int16_t i : *ticked)
        selected[static_cast<std::size_t>(i)] = true;
    CliDatalogHost host(selected, run.options.Has("--raw"), delay, *folder);
    CliStack& s = run.stack;
    DatalogRun datalog({s.registers, s.delay, s.seams, s.seams, s.messages, host}, host);
    if (!datalog.Prepare({baseName, std::to_string(*samples), std::to_string(*files),
                          run.options.Has("--no-header"), run.options.Has("--paced")}))
        return kExitFailed;
    if (const auto old = datalog.FilesToReplace();
        !old.empty() && !run.options.Has("--overwrite")) {
        std::cerr << "quenlor-cli: " << ReplacedFilesText(old) << " Give --overwrite to replace "
                  << (old.size() == 1 ? "it." : "them.") << std::endl;
        return kExitFailed;
    }
    // On the acquisition worker, as the window runs it; this thread answers
    // the message boxes it asks for meanwhile.
    AcquisitionEngine& engine = s.stack.engine();
    if (!engine.Start([&datalog] { datalog.RunDatalog(); }))
        return kExitFailed;
    engine.Wait();
    return Interrupt::Requested() ? kExitInterrupted : kExitOk;
}

}  // namespace quenlor
