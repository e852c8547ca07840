#include "platform/usbchoice/UsbDriverChoice.h"

namespace quenlor {

UsbDriverChoice::UsbDriverChoice(EzUsbDriver& legacy, EzUsbDriver* libusb)
    : legacy_(legacy), libusb_(libusb) {}

DeviceHandle UsbDriverChoice::open(const std::string& deviceName) {
    Route route{&legacy_, legacy_.open(deviceName)};
    if (route.handle == kNoHandle && libusb_ != nullptr)
        route = {libusb_, libusb_->open(deviceName)};
    if (route.handle == kNoHandle)
        return kNoHandle;
    const DeviceHandle ours = next_++;
    routes_[ours] = route;
    return ours;
}

bool UsbDriverChoice::ioControl(DeviceHandle handle, std::uint32_t controlCode,
                                std::span<const std::uint8_t> input, std::span<std::uint8_t> output,
                                std::uint32_t& bytesReturned) {
    bytesReturned = 0;
    const auto it = routes_.find(handle);
    if (it == routes_.end())
        return false;
    return it->second.driver->ioControl(it->second.handle, controlCode, input, output,
                                        bytesReturned);
}

void UsbDriverChoice::close(DeviceHandle handle) {
    const auto it = routes_.find(handle);
    if (it == routes_.end())
        return;
    it->second.driver->close(it->second.handle);
    routes_.erase(it);
}

void UsbDriverChoice::searchStarts() {
    legacy_.searchStarts();
    if (libusb_ != nullptr)
        libusb_->searchStarts();
}

}  // namespace quenlor
