#pragma once

#include "platform/Backends.h"
#include "platform/MessageBoxes.h"
#include "platform/win32/Win32EzUsbDriver.h"
#include "platform/win32/Win32IoPermission.h"
#include "platform/win32/Win32PortIo.h"
#include "platform/win32/Win32ProcessRunner.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32SystemInfo.h"

namespace quenlor {

// The Windows machine's own services: the EZ-USB kernel driver, "win95io.dll"
// and "giveio.dll" from the program's folder, the registry, process start and
// the system's version. The libraries are loaded at their first use, so a
// missing one is told only when the parallel port is used.
class Win32Backends : public Backends {
  public:
    explicit Win32Backends(MessageBoxes& messages);

    EzUsbDriver& usbDriver() override { return usb_; }
    PortIo& portIo() override { return port_; }
    IoPermission& ioPermission() override { return permission_; }
    Registry& registry() override { return registry_; }
    ProcessRunner& processes() override { return processes_; }
    SystemInfo& systemInfo() override { return systemInfo_; }

  private:
    Win32EzUsbDriver usb_;
    Win32PortIo port_;
    Win32IoPermission permission_;
    Win32Registry registry_;
    Win32ProcessRunner processes_;
    Win32SystemInfo systemInfo_;
};

}  // namespace quenlor
