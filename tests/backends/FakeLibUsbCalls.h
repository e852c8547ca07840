#pragma once

#include <libusb.h>

#include <map>
#include <string>
#include <vector>

#include "platform/libusb/LibUsbCalls.h"

namespace quenlor {

// A USB bus in memory. Handles are 100 + the device's position in `bus`.
class FakeLibUsbCalls : public LibUsbCalls {
  public:
    struct Device {
        UsbDeviceSummary summary;
        std::vector<UsbInterfaceSummary> settings;  // of every interface
        int currentAlt = 0;                         // negative: GET_INTERFACE fails
        std::map<int, std::vector<std::uint8_t>> strings;
        int openError = 0;
        int claimError = 0;
        bool kernelDriverBound = false;
        bool autoDetach = false;    // set through the handle
        bool autoDetached = false;  // by the claim, so the release attaches again
        int bulkError = 0;
        int bulkTransferred = -1;          // -1: the whole length
        std::vector<std::uint8_t> bulkIn;  // what IN endpoints answer
    };

    std::vector<Device> bus;
    int listError = 0;
    bool autoDetachSupported = true;
    std::vector<std::string> log;  // "open 1.5", "claim 101", ...
    struct Bulk {
        std::uint8_t endpoint;
        std::vector<std::uint8_t> data;
        int length;
        unsigned timeout;
    };
    std::vector<Bulk> bulks;
    std::vector<std::uint16_t> languages;

    static Device card(std::uint8_t busNumber, std::uint8_t address, std::uint16_t vendor = 0x7B1D,
                       std::uint16_t product = 0xED03) {
        Device d;
        d.summary.bus = busNumber;
        d.summary.address = address;
        d.summary.descriptor.bLength = 18;
        d.summary.descriptor.bDescriptorType = 1;
        d.summary.descriptor.bcdUSB = 0x0200;
        d.summary.descriptor.bDeviceClass = 0xFF;
        d.summary.descriptor.bMaxPacketSize0 = 64;
        d.summary.descriptor.idVendor = vendor;
        d.summary.descriptor.idProduct = product;
        d.summary.descriptor.bcdDevice = 0x0100;
        d.summary.descriptor.iManufacturer = 1;
        d.summary.descriptor.iProduct = 2;
        d.summary.descriptor.bNumConfigurations = 1;
        UsbInterfaceSummary s;
        s.endpoints = {{0x01, 2, 0, 512}, {0x81, 2, 0, 512}, {0x02, 2, 0, 512}, {0x86, 2, 0, 512}};
        d.settings.push_back(s);
        return d;
    }

    Device& at(Handle h) { return bus[h - 100]; }
    std::string id(Handle h) { return std::to_string(h); }

    int devices(std::vector<UsbDeviceSummary>& out) override {
        out.clear();
        if (listError != 0)
            return listError;
        for (const auto& d : bus)
            out.push_back(d.summary);
        return 0;
    }
    int open(std::uint8_t b, std::uint8_t a, Handle& handle) override {
        log.push_back("open " + std::to_string(b) + "." + std::to_string(a));
        for (std::size_t i = 0; i < bus.size(); ++i) {
            if (bus[i].summary.bus != b || bus[i].summary.address != a)
                continue;
            if (bus[i].openError != 0)
                return bus[i].openError;
            handle = 100 + i;
            return 0;
        }
        return LIBUSB_ERROR_NO_DEVICE;
    }
    void close(Handle h) override { log.push_back("close " + id(h)); }
    int setAutoDetachKernelDriver(Handle h, bool enable) override {
        if (!autoDetachSupported)
            return LIBUSB_ERROR_NOT_SUPPORTED;
        at(h).autoDetach = enable;
        return 0;
    }
    int kernelDriverActive(Handle h, int) override { return at(h).kernelDriverBound ? 1 : 0; }
    int detachKernelDriver(Handle h, int) override {
        log.push_back("detach " + id(h));
        at(h).kernelDriverBound = false;
        return 0;
    }
    int attachKernelDriver(Handle h, int) override {
        log.push_back("attach " + id(h));
        at(h).kernelDriverBound = true;
        return 0;
    }
    int claimInterface(Handle h, int iface) override {
        log.push_back("claim " + id(h) + " " + std::to_string(iface));
        Device& d = at(h);
        if (d.kernelDriverBound && d.autoDetach) {
            d.kernelDriverBound = false;
            d.autoDetached = true;
        }
        if (d.kernelDriverBound)
            return LIBUSB_ERROR_BUSY;
        return d.claimError;
    }
    int releaseInterface(Handle h, int iface) override {
        log.push_back("release " + id(h) + " " + std::to_string(iface));
        Device& d = at(h);
        if (d.autoDetached) {
            d.kernelDriverBound = true;
            d.autoDetached = false;
        }
        return 0;
    }
    int currentAltSetting(Handle h, int) override {
        return at(h).currentAlt < 0 ? LIBUSB_ERROR_PIPE : at(h).currentAlt;
    }
    int activeConfiguration(Handle h, std::vector<UsbInterfaceSummary>& out) override {
        out = at(h).settings;
        return 0;
    }
    int stringDescriptor(Handle h, std::uint8_t index, std::uint16_t language, std::uint8_t* data,
                         int length) override {
        languages.push_back(language);
        auto it = at(h).strings.find(index);
        if (it == at(h).strings.end())
            return LIBUSB_ERROR_PIPE;
        const int n = std::min(length, static_cast<int>(it->second.size()));
        std::copy_n(it->second.begin(), n, data);
        return n;
    }
    int bulkTransfer(Handle h, std::uint8_t endpoint, std::uint8_t* data, int length,
                     int& transferred, unsigned timeoutMs) override {
        Device& d = at(h);
        transferred = d.bulkTransferred < 0 ? length : std::min(length, d.bulkTransferred);
        if (endpoint & 0x80) {
            const int n = std::min(transferred, static_cast<int>(d.bulkIn.size()));
            std::copy_n(d.bulkIn.begin(), n, data);
        }
        bulks.push_back(
            {endpoint, std::vector<std::uint8_t>(data, data + length), length, timeoutMs});
        return d.bulkError;
    }
};

}  // namespace quenlor
