#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quenlor {

// The program's own command-line options (the hardware back-ends and test hooks).
struct Options {
    bool simulate = false;
    bool help = false;
    bool version = false;
    std::string simTrace;                  // empty: no bus trace
    int simTraceLimitMb = 100;             // the trace stops at this size (1 MB = 1,000,000 bytes)
    std::string simState;                  // empty: a fresh simulated sensor, not kept
    std::optional<std::uint32_t> simSeed;  // a repeatable simulated sensor
    bool simStill = false;                 // --sim-motion still: the board at rest
    std::string simUp = "+z";              // the axis up at rest
    std::string screenshot;                // empty: no screenshot
    int screenshotMs = 3000;               // how long the read loop runs before the grab
    bool screenshotNoise = false;          // --screenshot-window noise: the Noise Analysis run

    // Parses the arguments after the program name; nullopt and `error` set on a
    // bad command line.
    static std::optional<Options> Parse(const std::vector<std::string>& args, std::string& error);
    static std::string HelpText();

    std::uint64_t simTraceLimitBytes() const {
        return static_cast<std::uint64_t>(simTraceLimitMb) * 1000000u;
    }
};

}  // namespace quenlor
