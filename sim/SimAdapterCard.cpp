#include "sim/SimAdapterCard.h"

#include <algorithm>

#include "sim/BusTrace.h"
#include "sim/SimSensor.h"

namespace quenlor {

namespace {

constexpr std::size_t kPipeTableSize = 356;
constexpr std::size_t kPipeEntryOffset = 16;
constexpr std::size_t kPipeEntrySize = 20;
constexpr std::size_t kDeviceDescriptorSize = 18;
constexpr std::size_t kDescriptorBufferSize = 147;
constexpr std::size_t kStringRequestSize = 5;
constexpr std::size_t kPipeRecordSize = 4;
constexpr std::uint8_t kStringRequestTag = 0x1B;

bool allZero(std::span<const std::uint8_t> bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0; });
}

void put16(std::span<std::uint8_t> out, std::size_t at, std::uint32_t value) {
    out[at] = static_cast<std::uint8_t>(value & 0xFF);
    out[at + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

void put32(std::span<std::uint8_t> out, std::size_t at, std::uint32_t value) {
    put16(out, at, value & 0xFFFF);
    put16(out, at + 2, value >> 16);
}

const std::vector<std::vector<std::uint8_t>> kNoWrites;
const std::vector<std::uint8_t> kNoBytes;

}  // namespace

SimAdapterCard::SimAdapterCard(SimSensor& sensor) : sensor_(sensor) {}

std::string SimAdapterCard::deviceName(int slot) {
    return "Ezusb-" + std::to_string(slot);
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

void SimAdapterCard::unplugAfter(int slot, int transfers) {
    if (slot < 0 || slot >= kSlots)
        return;
    Card& card = cards_[static_cast<std::size_t>(slot)];
    if (transfers <= 0) {
        card.present = false;
        return;
    }
    card.unplugCountdown = transfers;
}

void SimAdapterCard::failOpen(int slot, bool fail) {
    if (slot >= 0 && slot < kSlots)
        cards_[static_cast<std::size_t>(slot)].failOpen = fail;
}

void SimAdapterCard::failRequest(int slot, std::uint32_t controlCode, int nth) {
    if (slot < 0 || slot >= kSlots || nth < 1)
        return;
    cards_[static_cast<std::size_t>(slot)].failCountdowns[controlCode].push_back(nth);
}

void SimAdapterCard::failAllRequests(int slot, std::uint32_t controlCode) {
    if (slot >= 0 && slot < kSlots)
        cards_[static_cast<std::size_t>(slot)].failAll[controlCode] = true;
}

void SimAdapterCard::answerShort(int slot, std::uint32_t controlCode, std::uint32_t bytes,
                                 int nth) {
    if (slot < 0 || slot >= kSlots || nth < 1)
        return;
    cards_[static_cast<std::size_t>(slot)].shortCountdowns[controlCode].push_back({nth, bytes});
}

void SimAdapterCard::clearFaults(int slot) {
    if (slot < 0 || slot >= kSlots)
        return;
    Card& card = cards_[static_cast<std::size_t>(slot)];
    card.failOpen = false;
    card.failCountdowns.clear();
    card.failAll.clear();
    card.shortCountdowns.clear();
    card.unplugCountdown = 0;
}

void SimAdapterCard::setTrace(BusTrace* trace) {
    trace_ = trace;
    sensor_.setTrace(trace);
}

DeviceHandle SimAdapterCard::open(const std::string& deviceName) {
    int slot = -1;
    for (int n = 0; n < kSlots; ++n) {
        if (deviceName == SimAdapterCard::deviceName(n))
            slot = n;
    }
    DeviceHandle handle = kNoHandle;
    if (slot >= 0) {
        Card& card = cards_[static_cast<std::size_t>(slot)];
        if (card.present && !card.failOpen) {
            handle = nextHandle_++;
            handles_[handle] = slot;
            ++card.opens;
        }
    }
    if (trace_ != nullptr)
        trace_->open(deviceName, handle);
    return handle;
}

void SimAdapterCard::close(DeviceHandle handle) {
    if (handle == kNoHandle)
        ++closesOfNoHandle_;
    const bool known = handles_.erase(handle) > 0;
    if (!known && handle != kNoHandle)
        ++closesOfUnknownHandle_;
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

bool SimAdapterCard::injectedFailure(Card& card, std::uint32_t code) {
    if (card.failAll.contains(code))
        return true;
    const auto it = card.failCountdowns.find(code);
    if (it == card.failCountdowns.end())
        return false;
    bool fail = false;
    for (int& left : it->second) {
        if (--left == 0)
            fail = true;
    }
    std::erase_if(it->second, [](int left) { return left <= 0; });
    if (it->second.empty())
        card.failCountdowns.erase(it);
    return fail;
}

std::uint32_t SimAdapterCard::shortLimit(Card& card, std::uint32_t code) {
    std::uint32_t limit = UINT32_MAX;
    const auto it = card.shortCountdowns.find(code);
    if (it == card.shortCountdowns.end())
        return limit;
    for (auto& [left, bytes] : it->second) {
        if (--left == 0)
            limit = std::min(limit, bytes);
    }
    std::erase_if(it->second, [](const auto& entry) { return entry.first <= 0; });
    if (it->second.empty())
        card.shortCountdowns.erase(it);
    return limit;
}

bool SimAdapterCard::ioControl(DeviceHandle handle, std::uint32_t controlCode,
                               std::span<const std::uint8_t> input, std::span<std::uint8_t> output,
                               std::uint32_t& bytesReturned) {
    bytesReturned = 0;
    int slot = -1;
    Card* card = cardFor(handle, slot);
    bool ok = false;
    if (card != nullptr) {
        const bool failed = injectedFailure(*card, controlCode);
        const std::uint32_t limit = shortLimit(*card, controlCode);
        if (!failed)
            ok = answer(*card, controlCode, input, output, limit, bytesReturned);
        if (controlCode == kBulkRead || controlCode == kBulkWrite) {
            if (card->unplugCountdown > 0 && --card->unplugCountdown == 0)
                card->present = false;
        }
    }

    if (recording_) {
        requests_.push_back({slot, controlCode, input.size(), output.size(), ok, bytesReturned,
                             std::vector<std::uint8_t>(input.begin(), input.end())});
    }
    if (trace_ != nullptr) {
        std::span<const std::uint8_t> shown;
        if (ok && (controlCode == kBulkRead || controlCode == kBulkWrite)) {
            shown = std::span<const std::uint8_t>(
                output.data(), std::min<std::size_t>(bytesReturned, output.size()));
        }
        trace_->request(slot >= 0 ? deviceName(slot) : "handle " + std::to_string(handle),
                        controlCode, input.size(), output.size(), ok, bytesReturned, shown);
    }
    return ok;
}

bool SimAdapterCard::answer(Card& card, std::uint32_t code, std::span<const std::uint8_t> input,
                            std::span<std::uint8_t> output, std::uint32_t limit,
                            std::uint32_t& returned) {
    // A short answer delivers only the first `limit` bytes; the rest of the
    // caller's buffer is left as it was.
    const auto deliver = [&](std::span<const std::uint8_t> bytes) {
        const std::size_t n = std::min<std::size_t>({bytes.size(), output.size(), limit});
        std::copy_n(bytes.begin(), n, output.begin());
        returned = static_cast<std::uint32_t>(n);
    };
    switch (code) {
        case kPipeTable: {
            if (input.size() != kPipeTableSize || !allZero(input) || output.size() < kPipeTableSize)
                return false;
            std::array<std::uint8_t, kPipeTableSize> table{};
            pipeTable(card, table);
            deliver(table);
            return true;
        }
        case kDeviceDescriptor: {
            if (input.size() != kDescriptorBufferSize || !allZero(input) ||
                output.size() < kDescriptorBufferSize)
                return false;
            std::array<std::uint8_t, kDeviceDescriptorSize> descriptor{};
            deviceDescriptor(card, descriptor);
            deliver(descriptor);
            return true;
        }
        case kStringDescriptor: {
            // Index, three zero bytes, then the request tag the driver expects.
            if (input.size() != kStringRequestSize || input[1] != 0 || input[2] != 0 ||
                input[3] != 0 || input[4] != kStringRequestTag)
                return false;
            std::vector<std::uint8_t> descriptor;
            if (input[0] == 0) {
                descriptor = {4, 3, 0x09, 0x04};  // the supported language, English (US)
            } else if (input[0] == 1 || input[0] == 2) {
                const std::string& text =
                    input[0] == 1 ? card.config.descriptor1 : card.config.descriptor2;
                const std::size_t units = std::min<std::size_t>(text.size(), 126);
                descriptor.push_back(static_cast<std::uint8_t>(2 + 2 * units));
                descriptor.push_back(3);
                for (std::size_t i = 0; i < units; ++i) {
                    descriptor.push_back(static_cast<std::uint8_t>(text[i]));
                    descriptor.push_back(0);
                }
            } else {
                return false;
            }
            deliver(descriptor);
            return true;
        }
        case kBulkRead:
        case kBulkWrite: {
            if (input.size() != kPipeRecordSize)
                return false;
            const std::uint32_t pipe = static_cast<std::uint32_t>(input[0]) | (input[1] << 8) |
                                       (input[2] << 16) |
                                       (static_cast<std::uint32_t>(input[3]) << 24);
            if (code == kBulkWrite) {
                if (pipe != 0)
                    return false;
                const auto sent = output.first(std::min<std::size_t>(output.size(), limit));
                runCommand(card, sent);
                returned = static_cast<std::uint32_t>(sent.size());
                return true;
            }
            if (pipe != 1 || card.answer.empty())
                return false;
            deliver(card.answer);
            card.answer.clear();
            return true;
        }
        default:
            return false;
    }
}

void SimAdapterCard::pipeTable(const Card& card, std::span<std::uint8_t> out) const {
    std::fill(out.begin(), out.end(), 0);
    // Interface information: length, interface 0, vendor class, then the
    // number of pipes.
    put16(out, 0, kPipeTableSize);
    out[4] = 0xFF;
    put32(out, 12, 4);
    const std::uint16_t packet = card.config.pipe3PacketSize > SimCardConfig::kFullSpeedPacket
                                     ? SimCardConfig::kHighSpeedPacket
                                     : SimCardConfig::kFullSpeedPacket;
    struct Pipe {
        std::uint8_t endpoint;
        std::uint16_t packetSize;
    };
    const std::array<Pipe, 4> pipes{Pipe{0x02, packet}, Pipe{0x86, packet}, Pipe{0x04, packet},
                                    Pipe{0x88, card.config.pipe3PacketSize}};
    for (std::size_t n = 0; n < pipes.size(); ++n) {
        const std::size_t at = kPipeEntryOffset + kPipeEntrySize * n;
        put16(out, at, pipes[n].packetSize);
        out[at + 2] = pipes[n].endpoint;
        out[at + 3] = 0;                // interval
        put32(out, at + 4, 2);          // bulk
        put32(out, at + 8, 0x100 + n);  // pipe handle
        put32(out, at + 12, 0x10000);   // maximum transfer size
    }
}

void SimAdapterCard::deviceDescriptor(const Card& card, std::span<std::uint8_t> out) const {
    const bool highSpeed = card.config.pipe3PacketSize > SimCardConfig::kFullSpeedPacket;
    out[0] = kDeviceDescriptorSize;
    out[1] = 1;  // device
    put16(out, 2, highSpeed ? 0x0200 : 0x0110);
    out[4] = 0xFF;  // vendor-specific class
    out[5] = 0xFF;
    out[6] = 0xFF;
    out[7] = 64;
    put16(out, 8, card.config.vendorId);
    put16(out, 10, card.config.productId);
    put16(out, 12,
          static_cast<std::uint32_t>(card.config.revisionWhole << 8) | card.config.revisionTenths);
    out[14] = 1;
    out[15] = 2;
    out[16] = 0;
    out[17] = 1;
}

void SimAdapterCard::runCommand(Card& card, std::span<const std::uint8_t> bytes) {
    card.lastWrite.assign(bytes.begin(), bytes.end());
    if (recording_)
        card.writes.push_back(card.lastWrite);
    // A command without an answer leaves the one still waiting on pipe 1.
    if (auto answer = card.firmware.run(bytes, sensor_, trace_))
        card.answer = std::move(*answer);
}

bool SimAdapterCard::validSlot(int slot) {
    return slot >= 0 && slot < kSlots;
}

const std::vector<std::vector<std::uint8_t>>& SimAdapterCard::bulkWrites(int slot) const {
    return validSlot(slot) ? cards_[static_cast<std::size_t>(slot)].writes : kNoWrites;
}

const std::vector<std::uint8_t>& SimAdapterCard::lastBulkWrite(int slot) const {
    return validSlot(slot) ? cards_[static_cast<std::size_t>(slot)].lastWrite : kNoBytes;
}

int SimAdapterCard::opens(int slot) const {
    return validSlot(slot) ? cards_[static_cast<std::size_t>(slot)].opens : 0;
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

void SimAdapterCard::clearRecords() {
    requests_.clear();
    for (Card& card : cards_)
        card.writes.clear();
}

}  // namespace quenlor
