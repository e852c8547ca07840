#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace quenlor {

class BusTrace;
class SimSensor;

// The adapter card's firmware: the commands written on pipe 0 and the answers
// they leave for pipe 1. Both the driver-level card and the USB-level test bed
// run it, so the two answer byte for byte alike. Channel 1 drives the sensor;
// nothing answers on channels 2..5, whose input line floats high, so their
// words come back as 0xFFFF.
class SimCardFirmware {
  public:
    SimCardFirmware() = default;
    SimCardFirmware(std::uint8_t revisionWhole, std::uint8_t revisionTenths)
        : revisionWhole_(revisionWhole), revisionTenths_(revisionTenths) {}

    // Runs one command as written. Gives the answer it leaves for pipe 1, or
    // nothing for a command without one (and for one the firmware ignores).
    std::optional<std::vector<std::uint8_t>> run(std::span<const std::uint8_t> command,
                                                 SimSensor& sensor, BusTrace* trace);

    std::uint8_t delay() const { return delay_; }
    std::uint8_t bits() const { return bits_; }
    int lastChannel() const { return lastChannel_; }
    bool lastPositive() const { return lastPositive_; }

  private:
    std::optional<std::vector<std::uint8_t>> transfer(std::span<const std::uint8_t> command,
                                                      SimSensor& sensor, BusTrace* trace);

    std::uint8_t revisionWhole_ = 1;
    std::uint8_t revisionTenths_ = 5;
    std::uint8_t delay_ = 25;
    std::uint8_t bits_ = 0x78;
    int lastChannel_ = 0;
    bool lastPositive_ = true;
};

}  // namespace quenlor
