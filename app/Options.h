#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/front/SensorOptions.h"

namespace quenlor {

// The window program's command line: the sensor's choice, shared with
// quenlor-cli, and its own screenshot run.
struct Options : SensorOptions {
    bool help = false;
    bool version = false;
    std::string screenshot;        // empty: no screenshot
    int screenshotMs = 3000;       // how long the read loop runs before the grab
    bool screenshotNoise = false;  // --screenshot-window noise: the Noise Analysis run

    // Parses the arguments after the program name; nullopt and `error` set on a
    // bad command line.
    static std::optional<Options> Parse(const std::vector<std::string>& args, std::string& error);
    static std::string HelpText();
};

}  // namespace quenlor
