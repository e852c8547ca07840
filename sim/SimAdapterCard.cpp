#include "sim/SimAdapterCard.h"

#include <algorithm>

#include "ezusb/Descriptors.h"
#include "ezusb/DeviceName.h"
#include "ezusb/PipeTable.h"
#include "ezusb/Requests.h"
#include "sim/BusTrace.h"
#include "sim/SimSensor.h"

namespace quenlor {

namespace {

bool allZero(std::span<const std::uint8_t> bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0; });
}

}  // namespace

SimAdapterCard::SimAdapterCard(SimSensor& sensor) : sensor_(sensor) {}

std::string SimAdapterCard::deviceName(int slot) {
    return CardDeviceName(slot);
}

void SimAdapterCard::placeCard(int slot, const SimCardConfig& config) {
    if (slot < 0 || slot >= kSlots)
        return;
    cards_[static_cast<std::size_t>(slot)] = Card{};
    Card& card = cards_[static_cast<std::size_t>(slot)];
    card.present = true;
    card.config = config;
    card.firmware = SimCardFirmware(config.revisionWhole, config.revisionTenths);
}

void SimAdapterCard::removeCard(int slot) {
    if (slot < 0 || slot >= kSlots)
        return;
    cards_[static_cast<std::size_t>(slot)].present = false;
}

bool SimAdapterCard::hasCard(int slot) const {
    return slot >= 0 && slot < kSlots && cards_[static_cast<std::size_t>(slot)].present;
}

void SimAdapterCard::unplug(int slot) {
    removeCard(slot);
}

void SimAdapterCard::setTrace(BusTrace* trace) {
    trace_ = trace;
    sensor_.setTrace(trace);
}

DeviceHandle SimAdapterCard::open(const std::string& deviceName) {
    const int slot = CardSlot(deviceName);
    DeviceHandle handle = kNoHandle;
    if (slot >= 0) {
        Card& card = cards_[static_cast<std::size_t>(slot)];
        if (card.present) {
            handle = nextHandle_++;
            handles_[handle] = slot;
        }
    }
    if (trace_ != nullptr)
        trace_->open(deviceName, handle);
    return handle;
}

void SimAdapterCard::close(DeviceHandle handle) {
    const bool known = handles_.erase(handle) > 0;
    if (trace_ != nullptr)
        trace_->close(handle, known);
}

SimAdapterCard::Card* SimAdapterCard::cardFor(DeviceHandle handle, int& slot) {
    const auto it = handles_.find(handle);
    if (it == handles_.end())
        return nullptr;
    slot = it->second;
    Card& card = cards_[static_cast<std::size_t>(slot)];
    return card.present ? &card : nullptr;
}

bool SimAdapterCard::ioControl(DeviceHandle handle, std::uint32_t controlCode,
                               std::span<const std::uint8_t> input, std::span<std::uint8_t> output,
                               std::uint32_t& bytesReturned) {
    bytesReturned = 0;
    int slot = -1;
    Card* card = cardFor(handle, slot);
    const bool ok = card != nullptr && answer(*card, controlCode, input, output, bytesReturned);
    if (trace_ != nullptr) {
        std::span<const std::uint8_t> shown;
        if (ok && (controlCode == kIoctlBulkRead || controlCode == kIoctlBulkWrite)) {
            shown = std::span<const std::uint8_t>(
                output.data(), std::min<std::size_t>(bytesReturned, output.size()));
        }
        trace_->request(slot >= 0 ? deviceName(slot) : "handle " + std::to_string(handle),
                        controlCode, input.size(), output.size(), ok, bytesReturned, shown);
    }
    return ok;
}

bool SimAdapterCard::answer(Card& card, std::uint32_t code, std::span<const std::uint8_t> input,
                            std::span<std::uint8_t> output, std::uint32_t& returned) {
    const auto deliver = [&](std::span<const std::uint8_t> bytes) {
        const std::size_t n = std::min(bytes.size(), output.size());
        std::copy_n(bytes.begin(), n, output.begin());
        returned = static_cast<std::uint32_t>(n);
    };
    switch (code) {
        case kIoctlPipeTable: {
            if (input.size() != kPipeTableSize || !allZero(input) || output.size() < kPipeTableSize)
                return false;
            deliver(pipeTable(card));
            return true;
        }
        case kIoctlDeviceDescriptor: {
            if (input.size() != kDeviceDescriptorBufferSize || !allZero(input) ||
                output.size() < kDeviceDescriptorBufferSize)
                return false;
            deliver(deviceDescriptor(card));
            return true;
        }
        case kIoctlStringDescriptor: {
            const auto index = DecodeStringRequest(input);
            if (!index || *index > 2)
                return false;
            if (*index == 0) {
                deliver(std::array<std::uint8_t, 4>{4, kStringDescriptorType, 0x09, 0x04});
                return true;  // the supported language, English (US)
            }
            deliver(EncodeStringDescriptor(*index == 1 ? card.config.descriptor1
                                                       : card.config.descriptor2));
            return true;
        }
        case kIoctlBulkRead:
        case kIoctlBulkWrite:
            return bulk(card, code == kIoctlBulkRead, input, output, returned);
        default:
            return false;
    }
}

bool SimAdapterCard::bulk(Card& card, bool read, std::span<const std::uint8_t> input,
                          std::span<std::uint8_t> output, std::uint32_t& returned) {
    const auto pipe = DecodePipeRecord(input);
    if (!pipe)
        return false;
    if (!read) {
        if (*pipe != static_cast<std::uint32_t>(kCommandPipe))
            return false;
        runCommand(card, output);
        returned = static_cast<std::uint32_t>(output.size());
        return true;
    }
    if (*pipe != static_cast<std::uint32_t>(kAnswerPipe) || card.answer.empty())
        return false;
    const std::size_t n = std::min(card.answer.size(), output.size());
    std::copy_n(card.answer.begin(), n, output.begin());
    returned = static_cast<std::uint32_t>(n);
    card.answer.clear();
    return true;
}

PipeTable SimAdapterCard::pipeTable(const Card& card) {
    // Interface 0 of the vendor class: pipes 0 and 2 OUT, 1 and 3 IN, all bulk.
    InterfaceInformation info;
    info.interfaceClass = 0xFF;
    const std::uint16_t packet = card.config.pipe3PacketSize > SimCardConfig::kFullSpeedPacket
                                     ? SimCardConfig::kHighSpeedPacket
                                     : SimCardConfig::kFullSpeedPacket;
    const std::array<std::uint8_t, 4> endpoints{0x02, 0x86, 0x04, 0x88};
    for (std::uint32_t n = 0; n < endpoints.size(); ++n) {
        PipeInformation pipe;
        pipe.maximumPacketSize = n == kSpeedPipe ? card.config.pipe3PacketSize : packet;
        pipe.endpointAddress = endpoints[n];
        pipe.pipeType = 2;  // bulk
        pipe.pipeHandle = 0x100 + n;
        pipe.maximumTransferSize = 0x10000;
        info.pipes.push_back(pipe);
    }
    return EncodePipeTable(info);
}

std::array<std::uint8_t, kDeviceDescriptorSize> SimAdapterCard::deviceDescriptor(const Card& card) {
    const bool highSpeed = card.config.pipe3PacketSize > SimCardConfig::kFullSpeedPacket;
    DeviceDescriptor d;
    d.bLength = kDeviceDescriptorSize;
    d.bDescriptorType = 1;  // device
    d.bcdUSB = highSpeed ? 0x0200 : 0x0110;
    d.bDeviceClass = 0xFF;  // vendor-specific class
    d.bDeviceSubClass = 0xFF;
    d.bDeviceProtocol = 0xFF;
    d.bMaxPacketSize0 = 64;
    d.idVendor = card.config.vendorId;
    d.idProduct = card.config.productId;
    d.bcdDevice =
        static_cast<std::uint16_t>((card.config.revisionWhole << 8) | card.config.revisionTenths);
    d.iManufacturer = 1;
    d.iProduct = 2;
    d.bNumConfigurations = 1;
    return EncodeDeviceDescriptor(d);
}

void SimAdapterCard::runCommand(Card& card, std::span<const std::uint8_t> bytes) {
    // A command without an answer leaves the one still waiting on pipe 1.
    if (auto answer = card.firmware.run(bytes, sensor_, trace_))
        card.answer = std::move(*answer);
}

bool SimAdapterCard::validSlot(int slot) {
    return slot >= 0 && slot < kSlots;
}

std::uint8_t SimAdapterCard::delaySetting(int slot) const {
    return validSlot(slot) ? cards_[static_cast<std::size_t>(slot)].firmware.delay() : 0;
}

std::uint8_t SimAdapterCard::staticBits(int slot) const {
    return validSlot(slot) ? cards_[static_cast<std::size_t>(slot)].firmware.bits() : 0;
}

int SimAdapterCard::lastChannel(int slot) const {
    return validSlot(slot) ? cards_[static_cast<std::size_t>(slot)].firmware.lastChannel() : 0;
}

bool SimAdapterCard::lastPolarityPositive(int slot) const {
    return validSlot(slot) && cards_[static_cast<std::size_t>(slot)].firmware.lastPositive();
}

}  // namespace quenlor
