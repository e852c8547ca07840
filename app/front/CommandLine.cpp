#include "app/front/CommandLine.h"

#include <sstream>

namespace quenlor {

namespace {

constexpr std::size_t kNameWidth = 29;
constexpr std::size_t kLineWidth = 80;

}  // namespace

CLI::Option* AddValue(CLI::App& app, const std::string& name, OptionErrors& errors,
                      std::function<bool(const std::string&)> take, std::string refusal) {
    auto check = [&errors, name, take = std::move(take),
                  refusal = std::move(refusal)](const std::string& value) {
        if (value.empty())
            errors.Refuse(name + " needs a value");
        else if (!take(value))
            errors.Refuse(refusal);
    };
    return app.add_option_function<std::string>(name, std::move(check))
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
}

bool ParseCommandLine(CLI::App& app, const std::vector<std::string>& args, OptionErrors& errors) {
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::ArgumentMismatch&) {
        // An option's value is taken whatever it looks like, so only the last
        // word can lack one ("--samples", or "--samples=").
        const std::string& last = args.back();
        errors.Refuse(last.substr(0, last.find('=')) + " needs a value");
    } catch (const CLI::ParseError& e) {
        errors.Refuse(e.what());
    }
    return errors.first.empty();
}

HelpFormatter::HelpFormatter(std::map<std::string, std::string> usages, std::string commandPrefix)
    : usages_(std::move(usages)), commandPrefix_(std::move(commandPrefix)) {
    column_width(kNameWidth);
}

std::string HelpFormatter::Usage(const CLI::App* app) const {
    const bool program = app->get_parent() == nullptr;
    const auto it = usages_.find(program ? "" : app->get_name());
    const std::string usage = it == usages_.end() ? app->get_name() : it->second;
    return program ? usage : commandPrefix_ + usage;
}

std::string HelpFormatter::make_help(const CLI::App* app, std::string,
                                     CLI::AppFormatMode mode) const {
    std::ostringstream out;
    out << "Usage: " << Usage(app) << "\n\n" << app->get_description();
    out << make_groups(app, mode) << make_subcommands(app, mode);
    if (!app->get_footer().empty())
        out << "\n" << app->get_footer();
    return out.str();
}

std::string HelpFormatter::make_subcommand(const CLI::App* sub) const {
    const auto it = usages_.find(sub->get_name());
    const std::string usage = it == usages_.end() ? sub->get_name() : it->second;
    return "  " + usage.substr(0, usage.find('\n')) + "\n";
}

std::string HelpFormatter::make_option(const CLI::Option* option, bool positional) const {
    if (!option->get_description().empty())
        return CLI::Formatter::make_option(option, positional);
    return "  " + make_option_name(option, positional) + make_option_opts(option) + "\n";
}

std::string HelpFormatter::make_option_desc(const CLI::Option* option) const {
    std::istringstream words(option->get_description());
    std::string text;
    std::size_t line = 0;
    for (std::string word; words >> word;) {
        if (line > 0 && line + 1 + word.size() > kLineWidth - kNameWidth) {
            text += '\n';
            line = 0;
        } else if (line > 0) {
            text += ' ';
            ++line;
        }
        text += word;
        line += word.size();
    }
    return text;
}

}  // namespace quenlor
