#include "platform/libusb/SystemLibUsbCalls.h"

#include <libusb.h>

namespace quenlor {

namespace {

libusb_device_handle* device(LibUsbCalls::Handle handle) {
    return reinterpret_cast<libusb_device_handle*>(handle);
}

}  // namespace

SystemLibUsbCalls::~SystemLibUsbCalls() {
    if (context_ != nullptr)
        libusb_exit(context_);
}

int SystemLibUsbCalls::devices(std::vector<UsbDeviceSummary>& out) {
    out.clear();
    if (context_ == nullptr) {
        const int rc = libusb_init(&context_);
        if (rc != LIBUSB_SUCCESS) {
            context_ = nullptr;
            return rc;
        }
    }
    libusb_device** list = nullptr;
    const ssize_t count = libusb_get_device_list(context_, &list);
    if (count < 0)
        return static_cast<int>(count);
    for (ssize_t i = 0; i < count; ++i) {
        libusb_device_descriptor d{};
        if (libusb_get_device_descriptor(list[i], &d) != LIBUSB_SUCCESS)
            continue;
        out.push_back({libusb_get_bus_number(list[i]),
                       libusb_get_device_address(list[i]),
                       {d.bLength, d.bDescriptorType, d.bcdUSB, d.bDeviceClass, d.bDeviceSubClass,
                        d.bDeviceProtocol, d.bMaxPacketSize0, d.idVendor, d.idProduct, d.bcdDevice,
                        d.iManufacturer, d.iProduct, d.iSerialNumber, d.bNumConfigurations}});
    }
    libusb_free_device_list(list, 1);
    return LIBUSB_SUCCESS;
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

int SystemLibUsbCalls::setAutoDetachKernelDriver(Handle handle, bool enable) {
    return libusb_set_auto_detach_kernel_driver(device(handle), enable ? 1 : 0);
}

int SystemLibUsbCalls::kernelDriverActive(Handle handle, int interfaceNumber) {
    return libusb_kernel_driver_active(device(handle), interfaceNumber);
}

int SystemLibUsbCalls::detachKernelDriver(Handle handle, int interfaceNumber) {
    return libusb_detach_kernel_driver(device(handle), interfaceNumber);
}

int SystemLibUsbCalls::attachKernelDriver(Handle handle, int interfaceNumber) {
    return libusb_attach_kernel_driver(device(handle), interfaceNumber);
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

int SystemLibUsbCalls::activeConfiguration(Handle handle, std::vector<UsbInterfaceSummary>& out) {
    out.clear();
    libusb_config_descriptor* config = nullptr;
    const int rc = libusb_get_active_config_descriptor(libusb_get_device(device(handle)), &config);
    if (rc != LIBUSB_SUCCESS)
        return rc;
    for (int i = 0; i < config->bNumInterfaces; ++i) {
        for (int a = 0; a < config->interface[i].num_altsetting; ++a) {
            const libusb_interface_descriptor& d = config->interface[i].altsetting[a];
            out.push_back({d.bInterfaceNumber,
                           d.bAlternateSetting,
                           d.bInterfaceClass,
                           d.bInterfaceSubClass,
                           d.bInterfaceProtocol,
                           {}});
            for (int e = 0; e < d.bNumEndpoints; ++e) {
                const libusb_endpoint_descriptor& ep = d.endpoint[e];
                out.back().endpoints.push_back(
                    {ep.bEndpointAddress, ep.bmAttributes, ep.bInterval, ep.wMaxPacketSize});
            }
        }
    }
    libusb_free_config_descriptor(config);
    return LIBUSB_SUCCESS;
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
