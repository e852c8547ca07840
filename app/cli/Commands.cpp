#include "app/cli/Commands.h"

#include <array>
#include <charconv>
#include <iostream>
#include <string_view>

#include "regmap/RegisterGroups.h"
#include "snapshot/Snapshot.h"

namespace quenlor {

namespace {

using Runner = int (*)(CliRun&);

struct Entry {
    std::string_view name;
    Runner run;
    bool opens;  // prepares the interface first
};

constexpr Entry kRunners[] = {
    {"scan", RunScan, false},
    {"read", RunRead, true},
    {"write", RunWrite, true},
    {"status", RunStatus, true},
    {"clear-status", RunClearStatus, true},
    {"flash", RunFlash, true},
    {"dump", RunDump, true},
    {"restore", RunRestore, false},
    {"compare", RunCompare, false},
    {"stream", RunStream, true},
    {"log", RunLog, true},
    {"null", RunNull, true},
    {"analyze", RunAnalyze, false},
    {"noise", RunNoise, true},
};

}  // namespace

int RunCommand(CliRun& run) {
    for (const Entry& e : kRunners) {
        if (e.name != run.options.command)
            continue;
        if (e.opens) {
            if (const int status = run.stack.Open(run.options); status != kExitOk)
                return status;
        }
        return e.run(run);
    }
    std::cerr << "quenlor-cli: unknown command " << run.options.command << std::endl;
    return kExitUsage;
}

std::optional<std::vector<std::int16_t>> OutputRegisters(CliRun& run, const std::string& fallback) {
    const std::string* given = run.options.Value("--registers");
    std::string_view list = given != nullptr ? *given : fallback;
    std::array<bool, 9> ticked{};
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        const std::string name(list.substr(0, comma));
        list = comma == std::string_view::npos ? std::string_view{} : list.substr(comma + 1);
        const auto index = FindRegister(run.stack.registerTable, name);
        if (!index || !IsOutputRegister(*index)) {
            std::cerr << "quenlor-cli: " << name
                      << " is not an output register; they are: " << OutputRegisterNames()
                      << std::endl;
            return std::nullopt;
        }
        ticked[static_cast<std::size_t>(*index)] = true;
    }
    std::vector<std::int16_t> indexes;
    for (RegisterIndex i : kOutputRegisters) {
        if (ticked[static_cast<std::size_t>(i)])
            indexes.push_back(i);
    }
    if (indexes.empty())
        std::cerr << "quenlor-cli: --registers names no register" << std::endl;
    return indexes.empty() ? std::nullopt : std::optional(indexes);
}

std::optional<std::int64_t> CountOption(CliRun& run, const std::string& option,
                                        std::int64_t fallback, std::int64_t max) {
    const std::string* text = run.options.Value(option);
    if (text == nullptr)
        return fallback;
    std::int64_t n = 0;
    const auto r = std::from_chars(text->data(), text->data() + text->size(), n);
    if (r.ec != std::errc() || r.ptr != text->data() + text->size() || n < 1 || n > max) {
        std::cerr << "quenlor-cli: " << option << " needs a whole number from 1 to " << max
                  << ", not " << *text << std::endl;
        return std::nullopt;
    }
    return n;
}

}  // namespace quenlor
