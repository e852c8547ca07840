#pragma once

#include "platform/libusb/LibUsbCalls.h"

struct libusb_context;

namespace quenlor {

// The calls forwarded to libusb. Without a USB bus (libusb cannot start) every
// list is empty and every call fails.
class SystemLibUsbCalls : public LibUsbCalls {
  public:
    SystemLibUsbCalls();
    ~SystemLibUsbCalls() override;
    SystemLibUsbCalls(const SystemLibUsbCalls&) = delete;
    SystemLibUsbCalls& operator=(const SystemLibUsbCalls&) = delete;

    std::vector<UsbDeviceSummary> devices() override;
    int open(std::uint8_t bus, std::uint8_t address, Handle& handle) override;
    void close(Handle handle) override;
    int kernelDriverActive(Handle handle, int interfaceNumber) override;
    int detachKernelDriver(Handle handle, int interfaceNumber) override;
    int claimInterface(Handle handle, int interfaceNumber) override;
    int releaseInterface(Handle handle, int interfaceNumber) override;
    int currentAltSetting(Handle handle, int interfaceNumber) override;
    int interfaceDescriptor(Handle handle, int interfaceNumber, int alternateSetting,
                            UsbInterfaceSummary& out) override;
    int stringDescriptor(Handle handle, std::uint8_t index, std::uint16_t language,
                         std::uint8_t* data, int length) override;
    int bulkTransfer(Handle handle, std::uint8_t endpoint, std::uint8_t* data, int length,
                     int& transferred, unsigned timeoutMs) override;

  private:
    libusb_context* context_ = nullptr;
};

}  // namespace quenlor
