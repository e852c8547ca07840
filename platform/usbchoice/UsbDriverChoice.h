#pragma once

#include <map>

#include "platform/EzUsbDriver.h"

namespace quenlor {

// The card's driver on Windows, chosen at each open of a card name: the
// legacy EZ-USB kernel driver where its device of that name ("\\.\Ezusb-0"
// and on) is there, otherwise libusb, which reaches cards bound to WinUSB,
// otherwise nothing (the scan then finds no card). Machines that have the
// legacy driver keep it; asking at every open rather than once at start finds
// a card plugged in later, whichever of the two drivers it comes up on.
class UsbDriverChoice : public EzUsbDriver {
  public:
    // `libusb` is null in a build without libusb.
    UsbDriverChoice(EzUsbDriver& legacy, EzUsbDriver* libusb);

    DeviceHandle open(const std::string& deviceName) override;
    bool ioControl(DeviceHandle handle, std::uint32_t controlCode,
                   std::span<const std::uint8_t> input, std::span<std::uint8_t> output,
                   std::uint32_t& bytesReturned) override;
    void close(DeviceHandle handle) override;
    void searchStarts() override;

  private:
    // The two drivers hand out handles of their own, which may be equal: ours
    // name the driver and its handle.
    struct Route {
        EzUsbDriver* driver = nullptr;
        DeviceHandle handle = kNoHandle;
    };

    EzUsbDriver& legacy_;
    EzUsbDriver* libusb_;
    std::map<DeviceHandle, Route> routes_;
    DeviceHandle next_ = 1;
};

}  // namespace quenlor
