#pragma once

#include <cstdint>

#include "platform/IoPermission.h"
#include "platform/PortIo.h"

namespace quenlor {

class SimSensor;

// The parallel-port evaluation board as a port-I/O back-end. The board
// inverts every line between the port and the sensor: data bit 0 high selects
// the sensor, bit 1 high pulls the clock low, bit 2 carries the complement of
// the bit sent, and status bit 6 shows the complement of the sensor's output.
//
// The board decodes edges of the select and clock lines, not the values
// written: selecting starts a frame, each falling clock edge shifts out the
// sensor's next bit, each rising edge samples the data line, and deselecting
// ends the frame. So a frame the host garbles reaches the sensor garbled (a
// frame of other than 16 bits is dropped by the sensor). The sensor's trace
// records the frames as channel 0.
//
// The board answers at whatever base address the host drives: a write to any
// port except base + 1 is a write of the data register and makes that port
// the base. Reading base + 1 gives the status byte, base the last data byte,
// any other port 0xFF (nothing there). No permission is needed to reach it.
class SimParallelBoard : public PortIo, public IoPermission {
  public:
    // Status bits other than bit 6: BUSY released, the other lines low.
    static constexpr std::int16_t kStatusOtherBits = 0x80;
    static constexpr std::int16_t kStatusMiso = 0x40;

    explicit SimParallelBoard(SimSensor& sensor);

    // PortIo
    void vbOut(std::int16_t port, std::int16_t value) override;
    std::int16_t vbInp(std::int16_t port) override;
    // IoPermission
    void giveio(std::int16_t portAddress) override;

    bool reaches(std::int16_t) override { return !accessDenied_; }

    // Fault for the tests: the process may not reach the port, as without
    // permission; writes are dropped and reads give 0xFF.
    void denyAccess(bool denied = true) { accessDenied_ = denied; }

    // What the tests look at.
    bool hasBase() const { return hasBase_; }
    std::int16_t base() const { return base_; }
    bool selected() const { return selected_; }
    int framesStarted() const { return framesStarted_; }
    int permissionRequests() const { return permissionRequests_; }

  private:
    std::int16_t statusPort() const;
    void dataWrite(std::int16_t value);
    void endFrame();

    SimSensor& sensor_;
    bool accessDenied_ = false;
    bool hasBase_ = false;
    std::int16_t base_ = 0;
    std::int16_t lastData_ = 0;
    // Decoded line levels: the clock idles high (mode 3).
    bool selected_ = false;
    bool clockHigh_ = true;
    // The sensor's output line; it floats high while nothing drives it.
    bool miso_ = true;
    std::uint16_t shiftOut_ = 0;
    int bitsOut_ = 0;
    std::uint16_t received_ = 0;
    int bitsIn_ = 0;
    int framesStarted_ = 0;
    int permissionRequests_ = 0;
};

}  // namespace quenlor
