#pragma once

#include <string>

#include "platform/Backends.h"

namespace quenlor {

// Back-ends made of services the caller owns (a rig's simulator and fakes),
// so the stack can be built over them.
class BorrowedBackends : public Backends {
  public:
    BorrowedBackends(EzUsbDriver& usbDriver, PortIo& portIo, IoPermission& ioPermission,
                     Registry& registry, ProcessRunner& processes, SystemInfo& systemInfo)
        : usbDriver_(usbDriver),
          portIo_(portIo),
          ioPermission_(ioPermission),
          registry_(registry),
          processes_(processes),
          systemInfo_(systemInfo) {}

    EzUsbDriver& usbDriver() override { return usbDriver_; }
    PortIo& portIo() override { return portIo_; }
    IoPermission& ioPermission() override { return ioPermission_; }
    Registry& registry() override { return registry_; }
    ProcessRunner& processes() override { return processes_; }
    SystemInfo& systemInfo() override { return systemInfo_; }
    std::string backendNotice() const override { return notice; }

    std::string notice;

  private:
    EzUsbDriver& usbDriver_;
    PortIo& portIo_;
    IoPermission& ioPermission_;
    Registry& registry_;
    ProcessRunner& processes_;
    SystemInfo& systemInfo_;
};

}  // namespace quenlor
