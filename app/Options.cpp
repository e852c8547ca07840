#include "app/Options.h"

#include <charconv>

namespace quenlor {

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
           "  --help               print this text\n"
           "\n"
           "The interface, port address and product number come from CommPort.cfg beside the\n"
           "executable.\n";
}

}  // namespace quenlor
