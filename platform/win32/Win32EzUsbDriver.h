#pragma once

#include "platform/EzUsbDriver.h"

namespace quenlor {

// The EZ-USB kernel driver's devices "\\.\Ezusb-N", through CreateFileA,
// DeviceIoControl and CloseHandle. Other names open nothing.
class Win32EzUsbDriver : public EzUsbDriver {
  public:
    DeviceHandle open(const std::string& deviceName) override;
    bool ioControl(DeviceHandle handle, std::uint32_t controlCode,
                   std::span<const std::uint8_t> input, std::span<std::uint8_t> output,
                   std::uint32_t& bytesReturned) override;
    void close(DeviceHandle handle) override;
};

}  // namespace quenlor
