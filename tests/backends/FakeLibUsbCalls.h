#pragma once

#include <libusb.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/libusb/LibUsbCalls.h"

namespace quenlor {

// A USB bus in memory. Handles count up from 100 and stay with their device
// while it is on `bus`; calls on a device taken off it fail as unplugged.
class FakeLibUsbCalls : public LibUsbCalls {
  public:
    struct Device {
        UsbDeviceSummary summary;
        std::vector<UsbInterfaceSummary> settings;  // of every interface
        std::map<int, std::vector<std::uint8_t>> strings;
        int openError = 0;
        int claimError = 0;
        bool kernelDriverBound = false;
        bool autoDetach = false;    // set through the handle
        bool autoDetached = false;  // by the claim, so the release attaches again
        int bulkError = 0;
        int bulkTransferred = -1;          // -1: the whole length
        std::vector<std::uint8_t> bulkIn;  // what IN endpoints answer
        std::vector<std::uint8_t> halted;  // endpoints that stall until cleared
    };

    std::vector<Device> bus;
    int listError = 0;
    int listings = 0;
    // None: the bus is not watched, so the back-end must list it.
    std::optional<std::uint64_t> changes;
    bool autoDetachSupported = true;
    std::vector<std::string> log;  // "open 1.5", "claim 101", ...
    struct Bulk {
        std::uint8_t endpoint;
        std::vector<std::uint8_t> data;
        int length;
        unsigned timeout;
        Handle handle;
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

    // The device behind a handle; a stand-in when it has left the bus.
    Device& at(Handle h) {
        const auto it = handles.find(h);
        for (auto& d : bus) {
            if (it != handles.end() && d.summary.bus == it->second.first &&
                d.summary.address == it->second.second)
                return d;
        }
        gone = Device{};
        gone.openError = gone.claimError = gone.bulkError = LIBUSB_ERROR_NO_DEVICE;
        return gone;
    }
    std::string id(Handle h) { return std::to_string(h); }
    // "bus.address" of the device a handle was opened on.
    std::string where(Handle h) const {
        const auto it = handles.find(h);
        return it == handles.end()
                   ? ""
                   : std::to_string(it->second.first) + "." + std::to_string(it->second.second);
    }

    int devices(std::vector<UsbDeviceSummary>& out) override {
        out.clear();
        ++listings;
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
            handle = nextHandle++;
            handles[handle] = {b, a};
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
        bulks.push_back(
            {endpoint, std::vector<std::uint8_t>(data, data + length), length, timeoutMs, h});
        if (std::find(d.halted.begin(), d.halted.end(), endpoint) != d.halted.end()) {
            transferred = 0;
            return LIBUSB_ERROR_PIPE;
        }
        transferred = d.bulkTransferred < 0 ? length : std::min(length, d.bulkTransferred);
        if (endpoint & 0x80) {
            const int n = std::min(transferred, static_cast<int>(d.bulkIn.size()));
            std::copy_n(d.bulkIn.begin(), n, data);
        }
        return d.bulkError;
    }
    int clearHalt(Handle h, std::uint8_t endpoint) override {
        log.push_back("clear " + id(h) + " " + std::to_string(endpoint));
        std::erase(at(h).halted, endpoint);
        return 0;
    }
    std::optional<std::uint64_t> busChanges() override { return changes; }

  private:
    std::map<Handle, std::pair<std::uint8_t, std::uint8_t>> handles;
    Handle nextHandle = 100;
    Device gone;
};

}  // namespace quenlor
