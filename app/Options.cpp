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

constexpr std::array<std::string_view, 6> kUpAxes = {"+x", "-x", "+y", "-y", "+z", "-z"};

bool IsOneOf(std::string_view a, std::span<const std::string_view> list) {
    return std::find(list.begin(), list.end(), a) != list.end();
}

bool WholeNumber(const std::string& text, int& out) {
    const auto r = std::from_chars(text.data(), text.data() + text.size(), out);
    return r.ec == std::errc() && r.ptr == text.data() + text.size();
}

// Options that need another one.
std::string Refusal(const Options& o, bool traceLimitGiven, bool upGiven) {
    if (!o.simulate) {
        const char* needs = !o.simTrace.empty()   ? "--sim-trace"
                            : !o.simState.empty() ? "--sim-state"
                            : o.simSeed           ? "--sim-seed"
                                                  : nullptr;
        if (needs == nullptr && o.simStill)
            needs = "--sim-motion";
        if (needs != nullptr)
            return std::string(needs) + " needs --simulate";
    }
    if (upGiven && !o.simStill)
        return "--sim-orientation needs --sim-motion still";
    if (traceLimitGiven && o.simTrace.empty())
        return "--sim-trace-limit needs --sim-trace";
    return {};
}

// The options whose value is kept as it is typed.
std::string* TextOption(Options& o, const std::string& name) {
    if (name == "--sim-trace")
        return &o.simTrace;
    if (name == "--sim-state")
        return &o.simState;
    if (name == "--screenshot")
        return &o.screenshot;
    return nullptr;
}

bool ParseSeed(const std::string& text, std::optional<std::uint32_t>& seed) {
    std::uint32_t n = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), n);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size())
        return false;
    seed = n;
    return true;
}

}  // namespace

std::optional<Options> Options::Parse(const std::vector<std::string>& args, std::string& error) {
    Options o;
    bool traceLimitGiven = false;
    bool upGiven = false;
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
        auto number = [&](int& out, int least, const char* refusal) {
            std::string text;
            if (!value(text))
                return false;
            if (!WholeNumber(text, out) || out < least) {
                error = refusal;
                return false;
            }
            return true;
        };
        if (a == "--simulate") {
            o.simulate = true;
        } else if (a == "--help" || a == "-h" || a == "--version") {
            (a == "--version" ? o.version : o.help) = true;
        } else if (std::string* text = TextOption(o, a)) {
            if (!value(*text))
                return std::nullopt;
        } else if (std::string seed; a == "--sim-seed") {
            if (!value(seed) || !ParseSeed(seed, o.simSeed)) {
                error = error.empty() ? "--sim-seed needs a whole number" : error;
                return std::nullopt;
            }
        } else if (std::string motion; a == "--sim-motion") {
            if (!value(motion) || (motion != "still" && motion != "moving")) {
                error = error.empty() ? "--sim-motion needs still or moving" : error;
                return std::nullopt;
            }
            o.simStill = motion == "still";
        } else if (a == "--sim-orientation") {
            if (!value(o.simUp) || !IsOneOf(o.simUp, kUpAxes)) {
                error = error.empty() ? "--sim-orientation needs +x, -x, +y, -y, +z or -z" : error;
                return std::nullopt;
            }
            upGiven = true;
        } else if (a == "--sim-trace-limit") {
            if (!number(o.simTraceLimitMb, 1,
                        "--sim-trace-limit needs a whole number of megabytes, at least 1"))
                return std::nullopt;
            traceLimitGiven = true;
        } else if (a == "--screenshot-ms") {
            if (!number(o.screenshotMs, 0, "--screenshot-ms needs a whole number of milliseconds"))
                return std::nullopt;
        } else if (std::string which; a == "--screenshot-window") {
            if (!value(which) || (which != "main" && which != "noise")) {
                error = error.empty() ? "--screenshot-window needs main or noise" : error;
                return std::nullopt;
            }
            o.screenshotNoise = which == "noise";
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
    error = Refusal(o, traceLimitGiven, upGiven);
    if (!error.empty())
        return std::nullopt;
    return o;
}

std::string Options::HelpText() {
    return "Usage: quenlor-eval [options]\n"
           "\n"
           "  --simulate           use the simulated sensor: a simulated USB-to-SPI adapter card\n"
           "                       at Ezusb-0 and a simulated parallel-port board at any port\n"
           "                       address, both wired to one sensor; no hardware is touched\n"
           "  --sim-trace FILE     with --simulate: write every simulated bus transaction to "
           "FILE,\n"
           "                       one line each as it happens\n"
           "  --sim-trace-limit MB stop the trace at MB megabytes with a closing line that says\n"
           "                       so (default 100)\n"
           "  --sim-state FILE     with --simulate: load the simulated sensor's registers and "
           "flash\n"
           "                       from FILE when it exists, and save them to it at exit\n"
           "  --sim-seed N         with --simulate: a repeatable sensor (noise from N, its time\n"
           "                       advancing with the bus frames)\n"
           "  --sim-motion still   with --simulate: the board at rest, with the noise, drift\n"
           "                       and start-up offsets of a real one (default: moving)\n"
           "  --sim-orientation UP with --sim-motion still: the axis pointing up, +x, -x, +y,\n"
           "                       -y, +z or -z (default +z)\n"
           "  --screenshot FILE    start reading, save a PNG of the main window to FILE, and exit\n"
           "  --screenshot-ms N    read for N milliseconds before the screenshot (default 3000)\n"
           "  --screenshot-window noise\n"
           "                       the screenshot of a Noise Analysis run instead of the main\n"
           "                       window's reading (default: main)\n"
           "  --version            print the program's version\n"
           "  --help               print this text\n"
           "  Qt's own options (-platform NAME, -style NAME, -reverse, ...) are passed to Qt.\n"
           "\n"
           "The interface, port address and product number come from CommPort.cfg beside the\n"
           "executable, or from the user's configuration folder when the program's folder\n"
           "cannot be written (an installed program).\n";
}

}  // namespace quenlor
