#pragma once

#include <atomic>

#include "platform/libusb/LibUsbCalls.h"

struct libusb_context;

namespace quenlor {

// The calls forwarded to libusb. libusb starts at the first listing of the bus,
// not before: it runs an event thread of its own from then on, which a run that
// never uses USB should not carry. Where it cannot start, the listing fails, and
// it is tried again at the next one. Where libusb watches the bus for devices
// coming and going, a callback counts each; libusb runs it on whichever thread
// handles its events, so the count is atomic and the callback does no more.
class SystemLibUsbCalls : public LibUsbCalls {
  public:
    SystemLibUsbCalls() = default;
    ~SystemLibUsbCalls() override;
    SystemLibUsbCalls(const SystemLibUsbCalls&) = delete;
    SystemLibUsbCalls& operator=(const SystemLibUsbCalls&) = delete;

    int devices(std::vector<UsbDeviceSummary>& out) override;
    int open(std::uint8_t bus, std::uint8_t address, Handle& handle) override;
    void close(Handle handle) override;
    int setAutoDetachKernelDriver(Handle handle, bool enable) override;
    int kernelDriverActive(Handle handle, int interfaceNumber) override;
    int detachKernelDriver(Handle handle, int interfaceNumber) override;
    int attachKernelDriver(Handle handle, int interfaceNumber) override;
    int claimInterface(Handle handle, int interfaceNumber) override;
    int releaseInterface(Handle handle, int interfaceNumber) override;
    int activeConfiguration(Handle handle, std::vector<UsbInterfaceSummary>& out) override;
    int stringDescriptor(Handle handle, std::uint8_t index, std::uint16_t language,
                         std::uint8_t* data, int length) override;
    int bulkTransfer(Handle handle, std::uint8_t endpoint, std::uint8_t* data, int length,
                     int& transferred, unsigned timeoutMs) override;
    int clearHalt(Handle handle, std::uint8_t endpoint) override;
    std::optional<std::uint64_t> busChanges() override;

  private:
    bool start();

    libusb_context* context_ = nullptr;
    bool watching_ = false;
    std::atomic<std::uint64_t> changes_{0};
};

}  // namespace quenlor
