#include "platform/libusb/SystemLibUsbCalls.h"

#include <libusb.h>

#include <cstring>

namespace quenlor {

namespace {

libusb_device_handle* device(LibUsbCalls::Handle handle) {
    return reinterpret_cast<libusb_device_handle*>(handle);
}

}  // namespace

SystemLibUsbCalls::SystemLibUsbCalls() {
    if (libusb_init(&context_) != LIBUSB_SUCCESS)
        context_ = nullptr;
}

SystemLibUsbCalls::~SystemLibUsbCalls() {
    if (context_ != nullptr)
        libusb_exit(context_);
}

std::vector<UsbDeviceSummary> SystemLibUsbCalls::devices() {
    std::vector<UsbDeviceSummary> out;
    if (context_ == nullptr)
        return out;
    libusb_device** list = nullptr;
    const ssize_t count = libusb_get_device_list(context_, &list);
    for (ssize_t i = 0; i < count; ++i) {
        libusb_device_descriptor d{};
        if (libusb_get_device_descriptor(list[i], &d) != LIBUSB_SUCCESS)
            continue;
        UsbDeviceSummary s;
        s.bus = libusb_get_bus_number(list[i]);
        s.address = libusb_get_device_address(list[i]);
        // libusb gives the fields in host order; the record wants the wire bytes.
        const std::uint8_t bytes[18] = {
            d.bLength,
            d.bDescriptorType,
            static_cast<std::uint8_t>(d.bcdUSB & 0xFF),
            static_cast<std::uint8_t>(d.bcdUSB >> 8),
            d.bDeviceClass,
            d.bDeviceSubClass,
            d.bDeviceProtocol,
            d.bMaxPacketSize0,
            static_cast<std::uint8_t>(d.idVendor & 0xFF),
            static_cast<std::uint8_t>(d.idVendor >> 8),
            static_cast<std::uint8_t>(d.idProduct & 0xFF),
            static_cast<std::uint8_t>(d.idProduct >> 8),
            static_cast<std::uint8_t>(d.bcdDevice & 0xFF),
            static_cast<std::uint8_t>(d.bcdDevice >> 8),
            d.iManufacturer,
            d.iProduct,
            d.iSerialNumber,
            d.bNumConfigurations,
        };
        std::memcpy(s.descriptor.data(), bytes, sizeof bytes);
        out.push_back(s);
    }
    if (count >= 0)
        libusb_free_device_list(list, 1);
    return out;
}

int SystemLibUsbCalls::open(std::uint8_t bus, std::uint8_t address, Handle& handle) {
    handle = 0;
    if (context_ == nullptr)
        return LIBUSB_ERROR_NO_DEVICE;
    libusb_device** list = nullptr;
    const ssize_t count = libusb_get_device_list(context_, &list);
    if (count < 0)
        return static_cast<int>(count);
    int rc = LIBUSB_ERROR_NO_DEVICE;
    for (ssize_t i = 0; i < count; ++i) {
        if (libusb_get_bus_number(list[i]) != bus || libusb_get_device_address(list[i]) != address)
            continue;
        libusb_device_handle* h = nullptr;
        rc = libusb_open(list[i], &h);
        if (rc == LIBUSB_SUCCESS)
            handle = reinterpret_cast<Handle>(h);
        break;
    }
    libusb_free_device_list(list, 1);
    return rc;
}

void SystemLibUsbCalls::close(Handle handle) {
    libusb_close(device(handle));
}

int SystemLibUsbCalls::kernelDriverActive(Handle handle, int interfaceNumber) {
    return libusb_kernel_driver_active(device(handle), interfaceNumber);
}

int SystemLibUsbCalls::detachKernelDriver(Handle handle, int interfaceNumber) {
    return libusb_detach_kernel_driver(device(handle), interfaceNumber);
}

int SystemLibUsbCalls::claimInterface(Handle handle, int interfaceNumber) {
    return libusb_claim_interface(device(handle), interfaceNumber);
}

int SystemLibUsbCalls::releaseInterface(Handle handle, int interfaceNumber) {
    return libusb_release_interface(device(handle), interfaceNumber);
}

int SystemLibUsbCalls::currentAltSetting(Handle handle, int interfaceNumber) {
    unsigned char alt = 0;
    // Request type 0x81: device to host, standard request, to an interface.
    constexpr std::uint8_t kInStandardInterface = 0x81;
    const int rc =
        libusb_control_transfer(device(handle), kInStandardInterface, LIBUSB_REQUEST_GET_INTERFACE,
                                0, static_cast<std::uint16_t>(interfaceNumber), &alt, 1, 1000);
    if (rc < 0)
        return rc;
    if (rc != 1)
        return LIBUSB_ERROR_IO;
    return alt;
}

int SystemLibUsbCalls::interfaceDescriptor(Handle handle, int interfaceNumber, int alternateSetting,
                                           UsbInterfaceSummary& out) {
    libusb_config_descriptor* config = nullptr;
    const int rc = libusb_get_active_config_descriptor(libusb_get_device(device(handle)), &config);
    if (rc != LIBUSB_SUCCESS)
        return rc;
    int result = LIBUSB_ERROR_NOT_FOUND;
    for (int i = 0; i < config->bNumInterfaces; ++i) {
        const libusb_interface& iface = config->interface[i];
        for (int a = 0; a < iface.num_altsetting; ++a) {
            const libusb_interface_descriptor& d = iface.altsetting[a];
            if (d.bInterfaceNumber != interfaceNumber || d.bAlternateSetting != alternateSetting)
                continue;
            out = UsbInterfaceSummary{d.bInterfaceNumber,   d.bAlternateSetting,  d.bInterfaceClass,
                                      d.bInterfaceSubClass, d.bInterfaceProtocol, {}};
            for (int e = 0; e < d.bNumEndpoints; ++e) {
                const libusb_endpoint_descriptor& ep = d.endpoint[e];
                out.endpoints.push_back(
                    {ep.bEndpointAddress, ep.bmAttributes, ep.bInterval, ep.wMaxPacketSize});
            }
            result = LIBUSB_SUCCESS;
        }
    }
    libusb_free_config_descriptor(config);
    return result;
}

int SystemLibUsbCalls::stringDescriptor(Handle handle, std::uint8_t index, std::uint16_t language,
                                        std::uint8_t* data, int length) {
    return libusb_get_string_descriptor(device(handle), index, language, data, length);
}

int SystemLibUsbCalls::bulkTransfer(Handle handle, std::uint8_t endpoint, std::uint8_t* data,
                                    int length, int& transferred, unsigned timeoutMs) {
    transferred = 0;
    return libusb_bulk_transfer(device(handle), endpoint, data, length, &transferred, timeoutMs);
}

}  // namespace quenlor
