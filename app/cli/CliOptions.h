#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/front/SensorOptions.h"
#include "core/Settings.h"

namespace quenlor {

// Exit statuses of the command-line tool.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;         // the device or a file failed
inline constexpr int kExitUsage = 2;          // the command line is wrong
inline constexpr int kExitInterrupted = 130;  // Ctrl-C

// The command line of quenlor-cli: the options that choose the sensor (given
// anywhere), then a command with its own arguments and options.
struct CliOptions : SensorOptions {
    bool help = false;
    bool version = false;
    std::optional<int> card;           // Ezusb-N
    std::optional<std::int16_t> port;  // parallel port base address

    std::string command;
    std::vector<std::string> args;              // the command's own arguments
    std::map<std::string, std::string> values;  // the command's options with a value
    std::set<std::string> flags;                // the command's options without one

    bool Has(const std::string& flag) const { return flags.count(flag) != 0; }
    const std::string* Value(const std::string& option) const;

    // Nullopt and `error` on a bad command line.
    static std::optional<CliOptions> Parse(const std::vector<std::string>& args,
                                           std::string& error);
    // The general help, or a command's help when `command` names one.
    static std::string HelpText(const std::string& command = {});
};

}  // namespace quenlor
