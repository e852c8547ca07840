#pragma once

#include "platform/EzUsbDriver.h"

namespace quenlor {

// The EZ-USB driver of a build without a USB back-end: no device is ever there.
class NoUsbDriver : public EzUsbDriver {
  public:
    DeviceHandle open(const std::string&) override { return kNoHandle; }
    bool ioControl(DeviceHandle, std::uint32_t, std::span<const std::uint8_t>,
                   std::span<std::uint8_t>, std::uint32_t& bytesReturned) override {
        bytesReturned = 0;
        return false;
    }
    void close(DeviceHandle) override {}
};

}  // namespace quenlor
