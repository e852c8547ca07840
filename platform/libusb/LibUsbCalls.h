#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "ezusb/Descriptors.h"

namespace quenlor {

// The standard device descriptor's fields as libusb gives them: in host order.
using UsbDeviceDescriptor = DeviceDescriptor;

// One USB device as the bus lists it.
struct UsbDeviceSummary {
    std::uint8_t bus = 0;
    std::uint8_t address = 0;
    UsbDeviceDescriptor descriptor;
};

struct UsbEndpointSummary {
    std::uint8_t address = 0;
    std::uint8_t attributes = 0;  // bits 0-1: transfer type
    std::uint8_t interval = 0;
    std::uint16_t maxPacketSize = 0;
};

// One alternate setting of one interface, from the active configuration.
struct UsbInterfaceSummary {
    std::uint8_t number = 0;
    std::uint8_t alternateSetting = 0;
    std::uint8_t interfaceClass = 0;
    std::uint8_t subClass = 0;
    std::uint8_t protocol = 0;
    std::vector<UsbEndpointSummary> endpoints;
};

// The handful of libusb calls the driver back-end makes, one to one. Results
// are libusb's: 0 or a count on success, a negative libusb error code on failure.
class LibUsbCalls {
  public:
    using Handle = std::uintptr_t;  // 0 is no handle

    virtual ~LibUsbCalls() = default;

    // Every device on every bus now; none when there is no USB at all.
    virtual int devices(std::vector<UsbDeviceSummary>& out) = 0;
    virtual int open(std::uint8_t bus, std::uint8_t address, Handle& handle) = 0;
    virtual void close(Handle handle) = 0;
    // Lets claim detach a bound kernel driver and release attach it again.
    virtual int setAutoDetachKernelDriver(Handle handle, bool enable) = 0;
    virtual int kernelDriverActive(Handle handle, int interfaceNumber) = 0;  // 1 bound, 0 not
    virtual int detachKernelDriver(Handle handle, int interfaceNumber) = 0;
    virtual int attachKernelDriver(Handle handle, int interfaceNumber) = 0;
    virtual int claimInterface(Handle handle, int interfaceNumber) = 0;
    virtual int releaseInterface(Handle handle, int interfaceNumber) = 0;
    // Every alternate setting of every interface of the active configuration,
    // in the descriptor's order.
    virtual int activeConfiguration(Handle handle, std::vector<UsbInterfaceSummary>& out) = 0;
    // The raw string descriptor; gives its length in bytes.
    virtual int stringDescriptor(Handle handle, std::uint8_t index, std::uint16_t language,
                                 std::uint8_t* data, int length) = 0;
    virtual int bulkTransfer(Handle handle, std::uint8_t endpoint, std::uint8_t* data, int length,
                             int& transferred, unsigned timeoutMs) = 0;
    // CLEAR_FEATURE(ENDPOINT_HALT): the endpoint takes transfers again after a stall.
    virtual int clearHalt(Handle handle, std::uint8_t endpoint) = 0;
    // A count that moves whenever a device arrives or leaves, with the notices
    // libusb holds taken in first (without waiting). None where libusb cannot
    // watch the bus: then only a listing tells which devices are there.
    virtual std::optional<std::uint64_t> busChanges() = 0;
};

}  // namespace quenlor
