#include "app/Options.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <span>
#include <string_view>

#include "app/front/CommandLine.h"

namespace quenlor {

namespace {

// QApplication takes its own options from the same command line; they pass here.
constexpr std::array<std::string_view, 11> kQtOptionsWithValue = {
    "-platform",   "-platformpluginpath", "-platformtheme",   "-plugin",       "-display", "-style",
    "-stylesheet", "-geometry",           "-qwindowgeometry", "-qwindowtitle", "-session"};
constexpr std::array<std::string_view, 5> kQtFlags = {"-reverse", "-widgetcount", "-nograb",
                                                      "-dograb", "-sync"};

bool IsOneOf(std::string_view a, std::span<const std::string_view> list) {
    return std::find(list.begin(), list.end(), a) != list.end();
}

// The arguments without Qt's own options, which are no option of ours.
bool WithoutQtOptions(const std::vector<std::string>& args, std::vector<std::string>& ours,
                      OptionErrors& errors) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (IsOneOf(args[i], kQtFlags))
            continue;
        if (!IsOneOf(args[i], kQtOptionsWithValue)) {
            ours.push_back(args[i]);
        } else if (i + 1 >= args.size() || args[i + 1].empty()) {
            errors.Refuse(args[i] + " needs a value");
            return false;
        } else {
            ++i;
        }
    }
    return true;
}

void Describe(CLI::App& app, Options& o, OptionErrors& errors) {
    app.set_help_flag();
    app.allow_extras();
    app.description(
        "The Quenlor sensor's evaluation program: the output registers live, the\n"
        "register, datalog and adapter card windows.\n");
    const std::string group = "Options";
    o.AddTo(app, group, errors);
    AddValue(
        app, "--screenshot", errors,
        [&o](const std::string& v) {
            o.screenshot = v;
            return true;
        },
        "")
        ->type_name("FILE")
        ->description("start reading, save a PNG of the main window to FILE, and exit")
        ->group(group);
    AddValue(
        app, "--screenshot-ms", errors,
        [&o](const std::string& v) {
            const auto r = std::from_chars(v.data(), v.data() + v.size(), o.screenshotMs);
            return r.ec == std::errc() && r.ptr == v.data() + v.size() && o.screenshotMs >= 0;
        },
        "--screenshot-ms needs a whole number of milliseconds")
        ->type_name("N")
        ->description("read for N milliseconds before the screenshot (default 3000)")
        ->group(group);
    AddValue(
        app, "--screenshot-window", errors,
        [&o](const std::string& v) {
            o.screenshotNoise = v == "noise";
            return v == "main" || v == "noise";
        },
        "--screenshot-window needs main or noise")
        ->type_name("main|noise")
        ->description(
            "the screenshot of a Noise Analysis run instead of the main window's "
            "reading (default: main)")
        ->group(group);
    app.add_flag("--version", o.version, "print the program's version")->group(group);
    app.add_flag("-h,--help", o.help, "print this text")->group(group);
    app.footer(
        "Qt's own options (-platform NAME, -style NAME, -reverse, ...) are passed to Qt.\n"
        "\n"
        "The interface, port address and product number come from CommPort.cfg beside the\n"
        "executable, or from the user's configuration folder when the program's folder\n"
        "cannot be written (an installed program); the program writes it at exit.\n");
    app.formatter(std::make_shared<HelpFormatter>(
        std::map<std::string, std::string>{{"", "quenlor-eval [options]"}}, ""));
}

}  // namespace

std::optional<Options> Options::Parse(const std::vector<std::string>& args, std::string& error) {
    Options o;
    OptionErrors errors;
    CLI::App app;
    Describe(app, o, errors);
    std::vector<std::string> ours;
    if (WithoutQtOptions(args, ours, errors) && ParseCommandLine(app, ours, errors)) {
        if (const auto unknown = app.remaining(); !unknown.empty())
            errors.Refuse("unknown option " + unknown.front());
        errors.Refuse(o.Refusal());
    }
    error = errors.first;
    if (!error.empty())
        return std::nullopt;
    return o;
}

std::string Options::HelpText() {
    Options ignored;
    OptionErrors errors;
    CLI::App app;
    Describe(app, ignored, errors);
    return app.help();
}

}  // namespace quenlor
