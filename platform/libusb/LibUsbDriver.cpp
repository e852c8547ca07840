#include "platform/libusb/LibUsbDriver.h"

#include <libusb.h>
#include <algorithm>
#include <vector>

#include "ezusb/Descriptors.h"
#include "ezusb/DeviceName.h"
#include "ezusb/PipeTable.h"
#include "ezusb/Requests.h"
#include "platform/libusb/SystemLibUsbCalls.h"

namespace quenlor {

namespace {

constexpr int kInterface = 0;

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
    const int n = CardSlot(deviceName);
    if (n < 0)
        return kNoHandle;
    const auto card = findCard(n);
    if (!card)
        return kNoHandle;

    Session s;
    s.descriptor = EncodeDeviceDescriptor(card->descriptor);
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
        why =
            "permission denied. Install the udev rule (sudo cp dist/60-quenlor-eval.rules "
            "/etc/udev/rules.d/), then unplug and replug the card.";
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
        case kIoctlPipeTable:
            return pipeTable(s, output, bytesReturned);
        case kIoctlDeviceDescriptor: {
            const std::size_t n = std::min(output.size(), s.descriptor.size());
            std::copy_n(s.descriptor.begin(), n, output.begin());
            bytesReturned = static_cast<std::uint32_t>(n);
            return n == s.descriptor.size();
        }
        case kIoctlStringDescriptor:
            return stringDescriptor(s, input, output, bytesReturned);
        case kIoctlBulkRead:
            return bulk(s, true, input, output, bytesReturned);
        case kIoctlBulkWrite:
            return bulk(s, false, input, output, bytesReturned);
        default:
            return false;
    }
}

bool LibUsbDriver::pipeTable(const Session& s, std::span<std::uint8_t> output,
                             std::uint32_t& returned) {
    if (output.size() < kPipeTableSize)
        return false;
    InterfaceInformation info;
    info.interfaceNumber = s.interface.number;
    info.alternateSetting = s.interface.alternateSetting;
    info.interfaceClass = s.interface.interfaceClass;
    info.interfaceSubClass = s.interface.subClass;
    info.interfaceProtocol = s.interface.protocol;
    for (std::size_t n = 0; n < s.interface.endpoints.size(); ++n) {
        const UsbEndpointSummary& ep = s.interface.endpoints[n];
        PipeInformation pipe;
        pipe.maximumPacketSize = ep.maxPacketSize;
        pipe.endpointAddress = ep.address;
        pipe.interval = ep.interval;
        pipe.pipeType = ep.attributes & 0x03u;  // the USB transfer type numbers
        pipe.pipeHandle = static_cast<std::uint32_t>(n + 1);
        pipe.maximumTransferSize = kMaximumTransferSize;
        info.pipes.push_back(pipe);
    }
    const PipeTable table = EncodePipeTable(info);
    std::copy(table.begin(), table.end(), output.begin());
    returned = static_cast<std::uint32_t>(kPipeTableSize);
    return true;
}

bool LibUsbDriver::stringDescriptor(const Session& s, std::span<const std::uint8_t> input,
                                    std::span<std::uint8_t> output, std::uint32_t& returned) {
    const auto index = DecodeStringRequest(input);
    if (!index)
        return false;
    std::uint8_t raw[255] = {};
    const int length = calls_.stringDescriptor(s.usb, *index, kLanguageEnglishUs, raw,
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
    const auto pipe = DecodePipeRecord(input);
    if (!pipe || *pipe >= s.interface.endpoints.size() || *pipe >= kMaxPipes)
        return false;
    const UsbEndpointSummary& ep = s.interface.endpoints[*pipe];
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
