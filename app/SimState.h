#pragma once

#include <filesystem>
#include <string>

#include "sim/SimSensor.h"

namespace quenlor {

// The simulated sensor's registers and flash kept in a file between runs, so a
// script of several simulated commands talks to one board that stays powered.
// The file is text, one word per line ("register 12 001A", "flash 12 0000").
// The output registers are not restored: a powered sensor keeps sampling.
class SimState {
  public:
    // Loads `path` into `sensor`. False with `error` ("FILE: line N: ...")
    // when the file cannot be read or is malformed; the sensor is then as it was.
    static bool Load(const std::filesystem::path& path, SimSensor& sensor, std::string& error);

    // Writes the sensor's words to `path` whole or not at all.
    static bool Save(const std::filesystem::path& path, SimSensor& sensor);
};

}  // namespace quenlor
