#pragma once

#ifdef _WIN32

#include <memory>

#include "platform/MessageBoxes.h"
#include "platform/usbchoice/UsbDriverChoice.h"
#include "platform/win32/Win32Backends.h"

namespace quenlor {

// The machine's own services on Windows; the card through the legacy EZ-USB
// driver where it is installed, otherwise through libusb (WinUSB) when built.
class RealBackends : public Win32Backends {
  public:
    explicit RealBackends(MessageBoxes& messages);
    ~RealBackends() override;

    EzUsbDriver& usbDriver() override { return usb_; }

  private:
    std::unique_ptr<EzUsbDriver> libusb_;  // null without libusb
    UsbDriverChoice usb_;
};

}  // namespace quenlor

#else

#include <memory>

#include "platform/Backends.h"
#include "platform/MessageBoxes.h"
#include "platform/linux/LinuxSystemInfo.h"
#include "platform/linux/PosixProcessRunner.h"
#include "platform/linux/PpdevPort.h"
#include "platform/standin/AutoStartRegistry.h"

namespace quenlor {

// The machine's own services on Linux: libusb (when built), ppdev, the kernel's
// version as the system information, and the registry stand-in (no driver
// service to install).
class RealBackends : public Backends {
  public:
    explicit RealBackends(MessageBoxes& messages);
    ~RealBackends() override;

    EzUsbDriver& usbDriver() override { return *usb_; }
    PortIo& portIo() override { return port_; }
    IoPermission& ioPermission() override { return port_; }
    Registry& registry() override { return registry_; }
    ProcessRunner& processes() override { return processes_; }
    SystemInfo& systemInfo() override { return systemInfo_; }

  private:
    std::unique_ptr<EzUsbDriver> usb_;
    PpdevPort port_;
    AutoStartRegistry registry_;
    PosixProcessRunner processes_;
    LinuxSystemInfo systemInfo_;
};

}  // namespace quenlor

#endif
