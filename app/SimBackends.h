#pragma once

#include <memory>
#include <string>

#include "app/Backends.h"
#include "platform/linux/LinuxRegistry.h"
#include "platform/linux/LinuxSystemInfo.h"
#include "platform/linux/PosixProcessRunner.h"
#include "sim/BusTrace.h"
#include "sim/SimAdapterCard.h"
#include "sim/SimParallelBoard.h"
#include "sim/SimSensor.h"

namespace quenlor {

// The simulated hardware: one sensor behind a card at "Ezusb-0" and behind a
// parallel-port board that answers at any port address.
class SimBackends : public Backends {
  public:
    // `tracePath` empty: no bus trace.
    explicit SimBackends(const std::string& tracePath);
    ~SimBackends() override;

    bool traceOk() const { return !trace_ || trace_->ok(); }

    EzUsbDriver& usbDriver() override { return card_; }
    PortIo& portIo() override { return board_; }
    IoPermission& ioPermission() override { return board_; }
    Registry& registry() override { return registry_; }
    ProcessRunner& processes() override { return processes_; }
    SystemInfo& systemInfo() override { return systemInfo_; }
    std::string notice() const override;

  private:
    std::unique_ptr<BusTrace> trace_;
    SimSensor sensor_;
    SimAdapterCard card_{sensor_};
    SimParallelBoard board_{sensor_};
    LinuxRegistry registry_;
    PosixProcessRunner processes_;
    LinuxSystemInfo systemInfo_;
};

}  // namespace quenlor
