#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace CLI {
class App;
}

namespace quenlor {

struct OptionErrors;

// The options both programs take to choose the sensor: the simulator and its
// own settings (trace, kept state, seed, rate, motion), or the interface.
struct SensorOptions {
    bool simulate = false;
    std::optional<std::int16_t> interface;  // InterfaceUsb or InterfaceParallel
    std::string simTrace;                   // empty: no bus trace
    int simTraceLimitMb = 100;              // the trace stops at this size (1 MB = 1,000,000 bytes)
    bool simTraceLimitGiven = false;
    std::string simState;                  // empty: a fresh simulated sensor, not kept
    std::optional<std::uint32_t> simSeed;  // a repeatable simulated sensor
    std::optional<double> simRate;         // the simulated sensor's sample rate, in hertz
    bool simStill = false;                 // --sim-motion still: the board at rest
    std::string simUp = "+z";              // the axis up at rest
    bool simUpGiven = false;

    std::uint64_t simTraceLimitBytes() const {
        return static_cast<std::uint64_t>(simTraceLimitMb) * 1000000u;
    }

    // Declares the options in `app`, under `group` in the help; a refused
    // value goes to `errors`.
    void AddTo(CLI::App& app, const std::string& group, OptionErrors& errors);

    // An option given without the one it needs; empty when there is none.
    std::string Refusal() const;
};

}  // namespace quenlor
