#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace quenlor {

using DeviceHandle = std::intptr_t;
inline constexpr DeviceHandle kNoHandle = 0;

// The three calls the program makes on the EZ-USB kernel driver. The program
// builds every record and control code itself; a back-end only answers them.
class EzUsbDriver {
  public:
    virtual ~EzUsbDriver() = default;

    // Opens "Ezusb-0" .. "Ezusb-3"; kNoHandle when there is no such device.
    virtual DeviceHandle open(const std::string& deviceName) = 0;

    // One synchronous I/O control request. `bytesReturned` receives the number of
    // bytes the driver reports. Returns the request's success.
    virtual bool ioControl(DeviceHandle handle, std::uint32_t controlCode,
                           std::span<const std::uint8_t> input, std::span<std::uint8_t> output,
                           std::uint32_t& bytesReturned) = 0;

    virtual void close(DeviceHandle handle) = 0;

    // A search of the cards begins: a back-end that keeps cards open between
    // opens looks at the bus afresh at the next open, so that a card unplugged
    // or plugged in since is seen. Nothing to do where every open asks the system.
    virtual void searchStarts() {}
};

}  // namespace quenlor
