#include "app/front/SensorOptions.h"

#include <array>
#include <charconv>
#include <string_view>

#include "app/front/CommandLine.h"
#include "core/Settings.h"

namespace quenlor {

namespace {

template <typename T>
bool Whole(const std::string& text, T& out) {
    const auto r = std::from_chars(text.data(), text.data() + text.size(), out);
    return r.ec == std::errc() && r.ptr == text.data() + text.size();
}

bool Rate(const std::string& text, std::optional<double>& rate) {
    double hz = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), hz);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size() || !(hz > 0 && hz <= 1e6))
        return false;
    rate = hz;
    return true;
}

bool UpAxis(const std::string& text) {
    static constexpr std::array<std::string_view, 6> kUp = {"+x", "-x", "+y", "-y", "+z", "-z"};
    for (std::string_view up : kUp) {
        if (text == up)
            return true;
    }
    return false;
}

void AddSimValues(SensorOptions& o, CLI::App& app, OptionErrors& errors) {
    auto keep = [](std::string& into) {
        return [&into](const std::string& v) {
            into = v;
            return true;
        };
    };
    AddValue(app, "--sim-trace", errors, keep(o.simTrace), "")
        ->type_name("FILE")
        ->description("with --simulate: every simulated bus transaction to FILE, one line each");
    AddValue(
        app, "--sim-trace-limit", errors,
        [&o](const std::string& v) {
            o.simTraceLimitGiven = true;
            return Whole(v, o.simTraceLimitMb) && o.simTraceLimitMb >= 1;
        },
        "--sim-trace-limit needs a whole number of megabytes, at least 1")
        ->type_name("MB")
        ->description("stop the trace at MB megabytes with a line that says so (default 100)");
    AddValue(app, "--sim-state", errors, keep(o.simState), "")
        ->type_name("FILE")
        ->description(
            "with --simulate: keep the simulated sensor's registers and flash in FILE "
            "between runs");
    AddValue(
        app, "--sim-seed", errors,
        [&o](const std::string& v) {
            std::uint32_t seed = 0;
            o.simSeed = Whole(v, seed) ? std::optional(seed) : std::nullopt;
            return o.simSeed.has_value();
        },
        "--sim-seed needs a whole number")
        ->type_name("N")
        ->description(
            "with --simulate: a repeatable sensor (noise from N, its time advancing "
            "with the bus frames)");
    AddValue(
        app, "--sim-rate", errors, [&o](const std::string& v) { return Rate(v, o.simRate); },
        "--sim-rate needs a rate in hertz, above 0 and at most 1000000")
        ->type_name("HZ")
        ->description("with --simulate: the sensor's sample rate (default 400)");
}

void AddSimMotion(SensorOptions& o, CLI::App& app, OptionErrors& errors) {
    AddValue(
        app, "--sim-motion", errors,
        [&o](const std::string& v) {
            o.simStill = v == "still";
            return v == "still" || v == "moving";
        },
        "--sim-motion needs still or moving")
        ->type_name("still")
        ->description(
            "with --simulate: the board at rest, with the noise, drift and start-up "
            "offsets of a real one (default: moving)");
    AddValue(
        app, "--sim-orientation", errors,
        [&o](const std::string& v) {
            o.simUp = v;
            o.simUpGiven = true;
            return UpAxis(v);
        },
        "--sim-orientation needs +x, -x, +y, -y, +z or -z")
        ->type_name("UP")
        ->description(
            "with --sim-motion still: the axis pointing up, +x, -x, +y, -y, +z or -z "
            "(default +z)");
}

}  // namespace

void SensorOptions::AddTo(CLI::App& app, const std::string& group, OptionErrors& errors) {
    AddValue(
        app, "--interface", errors,
        [this](const std::string& v) {
            interface = v == "usb" ? InterfaceUsb : InterfaceParallel;
            return v == "usb" || v == "parallel";
        },
        "--interface needs usb or parallel")
        ->type_name("usb|parallel")
        ->description("the interface, in place of the one CommPort.cfg selects")
        ->group(group);
    app.add_flag("--simulate", simulate,
                 "the simulated sensor: a simulated adapter card at Ezusb-0 and a simulated "
                 "parallel-port board at any port address, both wired to one sensor; no "
                 "hardware is touched")
        ->group(group);
    AddSimValues(*this, app, errors);
    AddSimMotion(*this, app, errors);
    for (CLI::Option* option : app.get_options()) {
        if (option->get_name().rfind("--sim-", 0) == 0)
            option->group(group);
    }
}

std::string SensorOptions::Refusal() const {
    if (!simulate) {
        const char* needs = !simTrace.empty()   ? "--sim-trace"
                            : !simState.empty() ? "--sim-state"
                            : simSeed           ? "--sim-seed"
                            : simRate           ? "--sim-rate"
                            : simStill          ? "--sim-motion"
                                                : nullptr;
        if (needs != nullptr)
            return std::string(needs) + " needs --simulate";
    }
    if (simUpGiven && !simStill)
        return "--sim-orientation needs --sim-motion still";
    if (simTraceLimitGiven && simTrace.empty())
        return "--sim-trace-limit needs --sim-trace";
    return {};
}

}  // namespace quenlor
