#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/Backends.h"
#include "platform/standin/AutoStartRegistry.h"
#ifdef _WIN32
#include "platform/win32/Win32ProcessRunner.h"
#include "platform/win32/Win32SystemInfo.h"
#else
#include "platform/linux/LinuxSystemInfo.h"
#include "platform/linux/PosixProcessRunner.h"
#endif
#include "sim/BusTrace.h"
#include "sim/SimAdapterCard.h"
#include "sim/SimParallelBoard.h"
#include "sim/SimSensor.h"

namespace quenlor {

// Process start and system information are the machine's own, so the main
// window detects the real system. The registry is the stand-in with the
// I/O-permission service already automatic: the simulated parallel-port board
// needs no driver, and a simulated start must never install one (the process
// runner is therefore never asked to run the installer).
#ifdef _WIN32
using MachineProcessRunner = Win32ProcessRunner;
using MachineSystemInfo = Win32SystemInfo;
#else
using MachineProcessRunner = PosixProcessRunner;
using MachineSystemInfo = LinuxSystemInfo;
#endif

// The simulated hardware: one sensor behind a card at "Ezusb-0" and behind a
// parallel-port board that answers at any port address.
class SimBackends : public Backends {
  public:
    // `tracePath` empty: no bus trace. With a `seed` the sensor repeats itself
    // run after run: its noise comes from the seed and its time advances by a
    // fixed step per bus frame instead of with the wall clock. The trace stops
    // at `traceLimitBytes`.
    explicit SimBackends(const std::string& tracePath,
                         std::optional<std::uint32_t> seed = std::nullopt,
                         std::uint64_t traceLimitBytes = BusTrace::kNoLimit);
    ~SimBackends() override;

    // The sensor on a board at rest with the axis `up` ("+z", ...) pointing
    // up; false for any other text.
    bool holdStill(const std::string& up);

    bool traceOk() const { return !trace_ || trace_->ok(); }
    SimSensor& sensor() { return sensor_; }

    EzUsbDriver& usbDriver() override { return card_; }
    PortIo& portIo() override { return board_; }
    IoPermission& ioPermission() override { return board_; }
    Registry& registry() override { return registry_; }
    ProcessRunner& processes() override { return processes_; }
    SystemInfo& systemInfo() override { return systemInfo_; }
    std::string backendNotice() const override;

  private:
    std::unique_ptr<BusTrace> trace_;
    SimSensor sensor_;
    SimAdapterCard card_{sensor_};
    SimParallelBoard board_{sensor_};
    AutoStartRegistry registry_;
    MachineProcessRunner processes_;
    MachineSystemInfo systemInfo_;
};

}  // namespace quenlor
