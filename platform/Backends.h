#pragma once

#include <string>

#include "platform/EzUsbDriver.h"
#include "platform/IoPermission.h"
#include "platform/PortIo.h"
#include "platform/ProcessRunner.h"
#include "platform/Registry.h"
#include "platform/SystemInfo.h"

namespace quenlor {

// The outside services the program runs on, chosen once at start-up: the
// machine's own (one composition per operating system) or the simulator.
class Backends {
  public:
    virtual ~Backends() = default;
    virtual EzUsbDriver& usbDriver() = 0;
    virtual PortIo& portIo() = 0;
    virtual IoPermission& ioPermission() = 0;
    virtual Registry& registry() = 0;
    virtual ProcessRunner& processes() = 0;
    virtual SystemInfo& systemInfo() = 0;
    // A line about the back-ends themselves (the simulator says it is one);
    // the main window shows it when non-empty.
    virtual std::string backendNotice() const { return {}; }
};

}  // namespace quenlor
