#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

namespace quenlor {

// The first refusal of a command line, in the program's own words: later
// ones would only follow from it.
struct OptionErrors {
    std::string first;
    void Refuse(std::string text) {
        if (first.empty())
            first = std::move(text);
    }
};

// A value option. An empty value "needs a value"; `take` false refuses the
// value with `refusal`. Given twice, the last one counts.
CLI::Option* AddValue(CLI::App& app, const std::string& name, OptionErrors& errors,
                      std::function<bool(const std::string&)> take, std::string refusal);

// Parses `args` (those after the program's name). False with `errors` set;
// words no option or command takes are left in app.remaining() for the
// caller to judge.
bool ParseCommandLine(CLI::App& app, const std::vector<std::string>& args, OptionErrors& errors);

// Help as both programs write it: the usage line, the description, the
// options by group, the commands each as its usage line, the footer. The
// usage lines are the programs' own, by command name ("" for the program);
// a command's help begins with `commandPrefix`.
class HelpFormatter : public CLI::Formatter {
  public:
    HelpFormatter(std::map<std::string, std::string> usages, std::string commandPrefix);

    std::string make_help(const CLI::App* app, std::string name,
                          CLI::AppFormatMode mode) const override;
    std::string make_subcommand(const CLI::App* sub) const override;
    // Without a description, without the blanks that would lead to one.
    std::string make_option(const CLI::Option* option, bool positional) const override;
    // Wrapped to fit beside the option's name in 80 columns.
    std::string make_option_desc(const CLI::Option* option) const override;

  private:
    std::string Usage(const CLI::App* app) const;

    std::map<std::string, std::string> usages_;
    std::string commandPrefix_;
};

}  // namespace quenlor
