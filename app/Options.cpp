#include "app/Options.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <span>
#include <string_view>

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

}  // namespace

std::optional<Options> Options::Parse(const std::vector<std::string>& args, std::string& error) {
    Options o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                error = a + " needs a value";
                return false;
            }
            out = args[++i];
            return true;
        };
        if (a == "--simulate") {
            o.simulate = true;
        } else if (a == "--help" || a == "-h") {
            o.help = true;
        } else if (a == "--version") {
            o.version = true;
        } else if (a == "--sim-trace") {
            if (!value(o.simTrace))
                return std::nullopt;
        } else if (a == "--screenshot") {
            if (!value(o.screenshot))
                return std::nullopt;
        } else if (a == "--screenshot-ms") {
            std::string ms;
            if (!value(ms))
                return std::nullopt;
            const auto r = std::from_chars(ms.data(), ms.data() + ms.size(), o.screenshotMs);
            if (r.ec != std::errc() || r.ptr != ms.data() + ms.size() || o.screenshotMs < 0) {
                error = "--screenshot-ms needs a whole number of milliseconds";
                return std::nullopt;
            }
        } else if (IsOneOf(a, kQtFlags)) {
            continue;
        } else if (IsOneOf(a, kQtOptionsWithValue)) {
            std::string ignored;
            if (!value(ignored))
                return std::nullopt;
        } else {
            error = "unknown option " + a;
            return std::nullopt;
        }
    }
    if (!o.simTrace.empty() && !o.simulate) {
        error = "--sim-trace needs --simulate";
        return std::nullopt;
    }
    return o;
}

std::string Options::HelpText() {
    return "Usage: quenlor-eval [options]\n"
           "\n"
           "  --simulate           use the simulated sensor: a simulated USB-to-SPI adapter card\n"
           "                       at Ezusb-0 and a simulated parallel-port board at any port\n"
           "                       address, both wired to one sensor; no hardware is touched\n"
           "  --sim-trace FILE     with --simulate: write every simulated bus transaction to FILE\n"
           "  --screenshot FILE    start reading, save a PNG of the main window to FILE, and exit\n"
           "  --screenshot-ms N    read for N milliseconds before the screenshot (default 3000)\n"
           "  --version            print the program's version\n"
           "  --help               print this text\n"
           "  Qt's own options (-platform NAME, -style NAME, -reverse, ...) are passed to Qt.\n"
           "\n"
           "The interface, port address and product number come from CommPort.cfg beside the\n"
           "executable, or from the user's configuration folder when the program's folder\n"
           "cannot be written (an installed program).\n";
}

}  // namespace quenlor
