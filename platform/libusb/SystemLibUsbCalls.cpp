#include "platform/libusb/SystemLibUsbCalls.h"

#include <libusb.h>

namespace quenlor {

namespace {

libusb_device_handle* device(LibUsbCalls::Handle handle) {
    return reinterpret_cast<libusb_device_handle*>(handle);
}

int LIBUSB_CALL countChange(libusb_context*, libusb_device*, libusb_hotplug_event, void* count) {
    static_cast<std::atomic<std::uint64_t>*>(count)->fetch_add(1);
    return 0;  // stay registered
}

}  // namespace

SystemLibUsbCalls::~SystemLibUsbCalls() {
    if (context_ != nullptr)
        libusb_exit(context_);  // also ends the callback's registration
}

bool SystemLibUsbCalls::start() {
    if (context_ != nullptr)
        return true;
    if (libusb_init(&context_) != LIBUSB_SUCCESS) {
        context_ = nullptr;
        return false;
    }
    if (libusb_has_capability(LIBUSB_CAP_HAS_HOTPLUG) != 0) {
        watching_ = libusb_hotplug_register_callback(
                        context_,
                        static_cast<libusb_hotplug_event>(LIBUSB_HOTPLUG_EVENT_DEVICE_ARRIVED |
                                                          LIBUSB_HOTPLUG_EVENT_DEVICE_LEFT),
                        static_cast<libusb_hotplug_flag>(0), LIBUSB_HOTPLUG_MATCH_ANY,
                        LIBUSB_HOTPLUG_MATCH_ANY, LIBUSB_HOTPLUG_MATCH_ANY, countChange, &changes_,
                        nullptr) == LIBUSB_SUCCESS;
    }
    return true;
}

std::optional<std::uint64_t> SystemLibUsbCalls::busChanges() {
    if (context_ == nullptr || !watching_)
        return std::nullopt;
    // The notices wait in libusb until someone handles its events: take them
    // in now, without waiting for more.
    timeval now{0, 0};
    libusb_handle_events_timeout_completed(context_, &now, nullptr);
    return changes_.load();
}

int SystemLibUsbCalls::devices(std::vector<UsbDeviceSummary>& out) {
    out.clear();
    if (!start())
        return LIBUSB_ERROR_OTHER;
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

int SystemLibUsbCalls::clearHalt(Handle handle, std::uint8_t endpoint) {
    return libusb_clear_halt(device(handle), endpoint);
}

}  // namespace quenlor
