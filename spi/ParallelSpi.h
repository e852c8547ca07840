#pragma once

#include <cstdint>

#include "core/Delay.h"
#include "core/Settings.h"
#include "platform/PortIo.h"

namespace quenlor {

// SPI on the parallel port: the program drives select, clock and data on the
// data register at PortAddress and samples the sensor's line on status bit 6.
// Nothing touches the port unless Interface is InterfaceParallel.
class ParallelSpi {
  public:
    ParallelSpi(Settings& settings, PortIo& port, Delay& delay);

    void ParSpiWord(std::int32_t word);
    std::int32_t ParSpiRead(std::int32_t address);
    void ParPortInit();
    // True when the port at PortAddress can be reached at all; says nothing
    // of a board behind it.
    bool PortReachable() { return port_.reaches(settings_.PortAddress); }

  private:
    Settings& settings_;
    PortIo& port_;
    Delay& delay_;
};

}  // namespace quenlor
