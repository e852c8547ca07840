#include "platform/libusb/LibUsbDriver.h"

#include <libusb.h>
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/libusb/SystemLibUsbCalls.h"

namespace quenlor {

namespace {

constexpr int kInterface = 0;
constexpr std::size_t kHeaderSize = 16;
constexpr std::size_t kEntrySize = 20;

void put16(std::uint8_t* at, std::uint32_t v) {
    at[0] = static_cast<std::uint8_t>(v);
    at[1] = static_cast<std::uint8_t>(v >> 8);
}

void put32(std::uint8_t* at, std::uint32_t v) {
    put16(at, v);
    put16(at + 2, v >> 16);
}

// "Ezusb-0" .. "Ezusb-3" to 0 .. 3; -1 for any other name.
int cardNumber(const std::string& name) {
    if (name.size() != 7 || name.compare(0, 6, "Ezusb-") != 0)
        return -1;
    if (name[6] < '0' || name[6] > '3')
        return -1;
    return name[6] - '0';
}

std::array<std::uint8_t, 18> deviceDescriptorBytes(const UsbDeviceDescriptor& d) {
    // The wire layout: multi-byte fields little-endian, whatever the host's order.
    std::array<std::uint8_t, 18> b{};
    b[0] = d.bLength;
    b[1] = d.bDescriptorType;
    put16(&b[2], d.bcdUSB);
    b[4] = d.bDeviceClass;
    b[5] = d.bDeviceSubClass;
    b[6] = d.bDeviceProtocol;
    b[7] = d.bMaxPacketSize0;
    put16(&b[8], d.idVendor);
    put16(&b[10], d.idProduct);
    put16(&b[12], d.bcdDevice);
    b[14] = d.iManufacturer;
    b[15] = d.iProduct;
    b[16] = d.iSerialNumber;
    b[17] = d.bNumConfigurations;
    return b;
}

const UsbInterfaceSummary* findSetting(const std::vector<UsbInterfaceSummary>& settings,
                                       int interfaceNumber, int alternateSetting) {
    const auto it = std::find_if(settings.begin(), settings.end(), [&](const auto& s) {
        return s.number == interfaceNumber && s.alternateSetting == alternateSetting;
    });
    return it == settings.end() ? nullptr : &*it;
}

}  // namespace

LibUsbDriver::LibUsbDriver(MessageBoxes& messages)
    : ownCalls_(std::make_unique<SystemLibUsbCalls>()), calls_(*ownCalls_), messages_(messages) {}

LibUsbDriver::LibUsbDriver(LibUsbCalls& calls, MessageBoxes& messages)
    : calls_(calls), messages_(messages) {}

LibUsbDriver::~LibUsbDriver() {
    while (!sessions_.empty())
        close(sessions_.begin()->first);
}

std::optional<UsbDeviceSummary> LibUsbDriver::findCard(int number) {
    std::vector<UsbDeviceSummary> all;
    // A bus that cannot be listed says nothing about which cards are gone.
    if (calls_.devices(all) < 0)
        return std::nullopt;
    std::vector<CardNames::Location> present;
    for (const UsbDeviceSummary& d : all) {
        if (d.descriptor.idVendor == kVendorId)
            present.push_back({d.bus, d.address});
    }
    names_.update(present);
    const auto named = names_.at(number);
    if (!named)
        return std::nullopt;
    for (const UsbDeviceSummary& d : all) {
        if (CardNames::Location{d.bus, d.address} == *named)
            return d;
    }
    return std::nullopt;
}

DeviceHandle LibUsbDriver::open(const std::string& deviceName) {
    const int n = cardNumber(deviceName);
    if (n < 0)
        return kNoHandle;
    const auto card = findCard(n);
    if (!card)
        return kNoHandle;

    Session s;
    s.descriptor = deviceDescriptorBytes(card->descriptor);
    if (const int rc = calls_.open(card->bus, card->address, s.usb); rc < 0 || s.usb == 0) {
        tellOpenFailure(*card, rc);
        return kNoHandle;
    }
    // With auto-detach the claim takes the interface from a bound kernel driver
    // and the release hands it back. Where libusb cannot do that, detach by hand
    // and attach again at close; where even the query is not supported, the
    // claim alone decides.
    if (calls_.setAutoDetachKernelDriver(s.usb, true) < 0 &&
        calls_.kernelDriverActive(s.usb, kInterface) == 1 &&
        calls_.detachKernelDriver(s.usb, kInterface) == 0) {
        s.reattachKernelDriver = true;
    }
    if (const int rc = calls_.claimInterface(s.usb, kInterface); rc < 0) {
        if (s.reattachKernelDriver)
            calls_.attachKernelDriver(s.usb, kInterface);
        calls_.close(s.usb);
        tellOpenFailure(*card, rc);
        return kNoHandle;
    }
    // Devices with a single setting may not answer GET_INTERFACE; that is setting 0.
    const int alt = calls_.currentAltSetting(s.usb, kInterface);
    std::vector<UsbInterfaceSummary> settings;
    const UsbInterfaceSummary* setting = nullptr;
    if (calls_.activeConfiguration(s.usb, settings) >= 0)
        setting = findSetting(settings, kInterface, alt < 0 ? 0 : alt);
    if (setting != nullptr)
        s.interface = *setting;  // otherwise no pipes: bulk requests fail
    const DeviceHandle handle = nextHandle_++;
    sessions_.emplace(handle, std::move(s));
    return handle;
}

void LibUsbDriver::tellOpenFailure(const UsbDeviceSummary& card, int error) {
    std::string why;
    if (error == LIBUSB_ERROR_ACCESS) {
        why = "permission denied. The udev rule " QUENLOR_UDEV_RULE
              " (installed with the program) gives access; reload the rules (sudo udevadm "
              "control --reload-rules && sudo udevadm trigger), then unplug and replug the card.";
    } else if (error == LIBUSB_ERROR_BUSY) {
        why = "it is in use by another program.";
    } else {
        return;  // nothing the user can mend: the card is gone, or the system failed
    }
    if (!told_.insert({{card.bus, card.address}, error}).second)
        return;
    messages_.show("The USB SPI card at bus " + std::to_string(card.bus) + ", address " +
                       std::to_string(card.address) + " cannot be opened: " + why,
                   kAppTitle, MessageIcon::Warning);
}

void LibUsbDriver::close(DeviceHandle handle) {
    const auto it = sessions_.find(handle);
    if (it == sessions_.end())
        return;
    const Session& s = it->second;
    calls_.releaseInterface(s.usb, kInterface);
    if (s.reattachKernelDriver)
        calls_.attachKernelDriver(s.usb, kInterface);
    calls_.close(s.usb);
    sessions_.erase(it);
}

bool LibUsbDriver::ioControl(DeviceHandle handle, std::uint32_t controlCode,
                             std::span<const std::uint8_t> input, std::span<std::uint8_t> output,
                             std::uint32_t& bytesReturned) {
    bytesReturned = 0;
    const auto it = sessions_.find(handle);
    if (it == sessions_.end())
        return false;
    const Session& s = it->second;
    switch (controlCode) {
        case kPipeTable:
            return pipeTable(s, output, bytesReturned);
        case kDeviceDescriptor: {
            const std::size_t n = std::min(output.size(), s.descriptor.size());
            std::copy_n(s.descriptor.begin(), n, output.begin());
            bytesReturned = static_cast<std::uint32_t>(n);
            return n == s.descriptor.size();
        }
        case kStringDescriptor:
            return stringDescriptor(s, input, output, bytesReturned);
        case kBulkRead:
            return bulk(s, true, input, output, bytesReturned);
        case kBulkWrite:
            return bulk(s, false, input, output, bytesReturned);
        default:
            return false;
    }
}

bool LibUsbDriver::pipeTable(const Session& s, std::span<std::uint8_t> output,
                             std::uint32_t& returned) {
    if (output.size() < kPipeTableSize)
        return false;
    std::uint8_t* t = output.data();
    std::memset(t, 0, kPipeTableSize);
    const std::size_t pipes = std::min(s.interface.endpoints.size(), kMaxPipes);
    // The interface header: Length, InterfaceNumber, AlternateSetting, Class,
    // SubClass, Protocol, (Reserved, InterfaceHandle), NumberOfPipes.
    put16(t, static_cast<std::uint32_t>(kHeaderSize + kEntrySize * pipes));
    t[2] = s.interface.number;
    t[3] = s.interface.alternateSetting;
    t[4] = s.interface.interfaceClass;
    t[5] = s.interface.subClass;
    t[6] = s.interface.protocol;
    put32(t + 12, static_cast<std::uint32_t>(pipes));
    for (std::size_t n = 0; n < pipes; ++n) {
        const UsbEndpointSummary& ep = s.interface.endpoints[n];
        std::uint8_t* e = t + kHeaderSize + kEntrySize * n;
        // MaximumPacketSize, EndpointAddress, Interval, PipeType (the USB transfer
        // type numbers), PipeHandle, MaximumTransferSize; PipeFlags stay 0.
        put16(e, ep.maxPacketSize);
        e[2] = ep.address;
        e[3] = ep.interval;
        put32(e + 4, ep.attributes & 0x03u);
        put32(e + 8, static_cast<std::uint32_t>(n + 1));
        put32(e + 12, kMaximumTransferSize);
    }
    returned = static_cast<std::uint32_t>(kPipeTableSize);
    return true;
}

bool LibUsbDriver::stringDescriptor(const Session& s, std::span<const std::uint8_t> input,
                                    std::span<std::uint8_t> output, std::uint32_t& returned) {
    if (input.empty())
        return false;
    std::uint8_t raw[255] = {};
    const int length = calls_.stringDescriptor(s.usb, input[0], kLanguageEnglishUs, raw,
                                               static_cast<int>(sizeof raw));
    if (length < 2)
        return false;
    const std::size_t n = std::min(output.size(), static_cast<std::size_t>(length));
    std::copy_n(raw, n, output.begin());
    returned = static_cast<std::uint32_t>(n);
    return true;
}

bool LibUsbDriver::bulk(const Session& s, bool read, std::span<const std::uint8_t> input,
                        std::span<std::uint8_t> output, std::uint32_t& returned) {
    if (input.size() < 4)
        return false;
    const std::uint32_t pipe =
        input[0] | input[1] << 8 | input[2] << 16 | static_cast<std::uint32_t>(input[3]) << 24;
    if (pipe >= s.interface.endpoints.size() || pipe >= kMaxPipes)
        return false;
    const UsbEndpointSummary& ep = s.interface.endpoints[pipe];
    // The pipe's direction must match the request's.
    if (((ep.address & 0x80) != 0) != read)
        return false;
    int transferred = 0;
    const int rc =
        calls_.bulkTransfer(s.usb, ep.address, output.data(), static_cast<int>(output.size()),
                            transferred, kBulkTimeoutMs);
    returned = static_cast<std::uint32_t>(std::max(transferred, 0));
    return rc == 0;
}

}  // namespace quenlor
