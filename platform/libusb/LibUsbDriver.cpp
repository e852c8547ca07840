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

LibUsbDriver::LibUsbDriver(MessageBoxes& messages)
    : ownCalls_(std::make_unique<SystemLibUsbCalls>()),
      calls_(*ownCalls_),
      messages_(messages),
      held_(calls_) {}

LibUsbDriver::LibUsbDriver(LibUsbCalls& calls, MessageBoxes& messages)
    : calls_(calls), messages_(messages), held_(calls_) {}

LibUsbDriver::~LibUsbDriver() = default;

std::optional<CardNames::Location> LibUsbDriver::heldCard(int number) {
    // Without a count (no hotplug), both are none and only a failure or a
    // search lets go of the card.
    const auto named = names_.at(number);
    if (listDue_ || calls_.busChanges() != listedAt_ || !named || held_.find(*named) == nullptr)
        return std::nullopt;
    return named;
}

std::optional<UsbDeviceSummary> LibUsbDriver::findCard(int number) {
    // Taken before the listing: a change during it is then seen at the next open.
    const auto changes = calls_.busChanges();
    std::vector<UsbDeviceSummary> all;
    // A bus that cannot be listed says nothing about which cards are gone.
    if (calls_.devices(all) < 0)
        return std::nullopt;
    listedAt_ = changes;
    listDue_ = false;
    std::vector<CardNames::Location> present;
    for (const UsbDeviceSummary& d : all) {
        if (d.descriptor.idVendor == kVendorId)
            present.push_back({d.bus, d.address});
    }
    held_.keepOnly(present);
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
    auto where = heldCard(n);
    if (!where) {
        const auto card = findCard(n);
        if (!card)
            return kNoHandle;
        if (const int rc = held_.hold(*card); rc < 0) {
            tellOpenFailure(*card, rc);
            return kNoHandle;
        }
        where = CardNames::Location{card->bus, card->address};
    }
    const DeviceHandle handle = nextHandle_++;
    uses_[handle] = {*where, held_.find(*where)->serial};
    return handle;
}

// What the user can do about a card that will not open, or nothing.
std::string LibUsbDriver::openFailureAdvice(int error) {
#ifdef _WIN32
    // On Windows libusb reaches a card through the driver bound to it: WinUSB,
    // which lets one program at a time have the card.
    if (error == LIBUSB_ERROR_NOT_SUPPORTED) {
        return "Windows has not bound WinUSB to it. Bind WinUSB to the card (install "
               "quenlor-winusb.inf from the program's folder, or use a tool such as Zadig), then "
               "unplug and replug the card.";
    }
    if (error == LIBUSB_ERROR_ACCESS || error == LIBUSB_ERROR_BUSY)
        return "it is in use by another program.";
#else
    if (error == LIBUSB_ERROR_ACCESS) {
        return "permission denied. The udev rule " QUENLOR_UDEV_RULE
               " (installed with the program) gives access; reload the rules (sudo udevadm "
               "control --reload-rules && sudo udevadm trigger), then unplug and replug the card.";
    }
    if (error == LIBUSB_ERROR_BUSY)
        return "it is in use by another program.";
#endif
    return {};  // nothing the user can mend: the card is gone, or the system failed
}

void LibUsbDriver::tellOpenFailure(const UsbDeviceSummary& card, int error) {
    const std::string why = openFailureAdvice(error);
    if (why.empty())
        return;
    if (!told_.insert({{card.bus, card.address}, error}).second)
        return;
    messages_.show("The USB SPI card at bus " + std::to_string(card.bus) + ", address " +
                       std::to_string(card.address) + " cannot be opened: " + why,
                   kAppTitle, MessageIcon::Warning);
}

void LibUsbDriver::close(DeviceHandle handle) {
    uses_.erase(handle);  // the card stays open for the next use
}

bool LibUsbDriver::ioControl(DeviceHandle handle, std::uint32_t controlCode,
                             std::span<const std::uint8_t> input, std::span<std::uint8_t> output,
                             std::uint32_t& bytesReturned) {
    bytesReturned = 0;
    const auto it = uses_.find(handle);
    if (it == uses_.end())
        return false;
    // A card closed since this open (it failed, or left) is not the one opened.
    const Session* held = held_.find(it->second.where, it->second.serial);
    if (held == nullptr)
        return false;
    const Session& s = *held;
    switch (controlCode) {
        case kIoctlPipeTable:
            return pipeTable(s, output, bytesReturned);
        case kIoctlDeviceDescriptor: {
            const auto descriptor = EncodeDeviceDescriptor(s.descriptor);
            const std::size_t n = std::min(output.size(), descriptor.size());
            std::copy_n(descriptor.begin(), n, output.begin());
            bytesReturned = static_cast<std::uint32_t>(n);
            return n == descriptor.size();
        }
        case kIoctlStringDescriptor:
            return stringDescriptor(s, input, output, bytesReturned);
        case kIoctlBulkRead:
            return bulk(it->second, s, true, input, output, bytesReturned);
        case kIoctlBulkWrite:
            return bulk(it->second, s, false, input, output, bytesReturned);
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

bool LibUsbDriver::bulk(const Use& use, const Session& s, bool read,
                        std::span<const std::uint8_t> input, std::span<std::uint8_t> output,
                        std::uint32_t& returned) {
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
    if (rc != 0)
        held_.failed(use.where, ep.address, rc);  // `s` and `ep` end here
    return rc == 0;
}

}  // namespace quenlor
