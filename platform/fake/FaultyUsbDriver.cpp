#include "platform/fake/FaultyUsbDriver.h"

#include <algorithm>

#include "ezusb/DeviceName.h"
#include "ezusb/EzUsbContract.h"

namespace quenlor {

namespace {

const std::vector<std::vector<std::uint8_t>> kNoWrites;
const std::vector<std::uint8_t> kNoBytes;

bool IsBulk(std::uint32_t code) {
    return code == kIoctlBulkRead || code == kIoctlBulkWrite;
}

}  // namespace

FaultyUsbDriver::Card* FaultyUsbDriver::card(int slot) {
    return slot >= 0 && slot < kSlots ? &cards_[static_cast<std::size_t>(slot)] : nullptr;
}

const FaultyUsbDriver::Card* FaultyUsbDriver::card(int slot) const {
    return slot >= 0 && slot < kSlots ? &cards_[static_cast<std::size_t>(slot)] : nullptr;
}

void FaultyUsbDriver::failOpen(int slot, bool fail) {
    if (Card* c = card(slot))
        c->failOpen = fail;
}

void FaultyUsbDriver::failRequest(int slot, std::uint32_t controlCode, int nth) {
    if (Card* c = card(slot); c != nullptr && nth >= 1)
        c->failCountdowns[controlCode].push_back(nth);
}

void FaultyUsbDriver::failAllRequests(int slot, std::uint32_t controlCode) {
    if (Card* c = card(slot))
        c->failAll[controlCode] = true;
}

void FaultyUsbDriver::failBulkWrite(int slot, int nth) {
    failRequest(slot, kIoctlBulkWrite, nth);
}

void FaultyUsbDriver::failBulkRead(int slot, int nth) {
    failRequest(slot, kIoctlBulkRead, nth);
}

void FaultyUsbDriver::answerShort(int slot, std::uint32_t controlCode, std::uint32_t bytes,
                                  int nth) {
    if (Card* c = card(slot); c != nullptr && nth >= 1)
        c->shortCountdowns[controlCode].push_back({nth, bytes});
}

void FaultyUsbDriver::unplugAfter(int slot, int transfers) {
    Card* c = card(slot);
    if (c == nullptr)
        return;
    c->gone = transfers <= 0;
    c->unplugCountdown = std::max(transfers, 0);
}

void FaultyUsbDriver::clearFaults(int slot) {
    Card* c = card(slot);
    if (c == nullptr)
        return;
    c->failOpen = false;
    c->gone = false;
    c->unplugCountdown = 0;
    c->failCountdowns.clear();
    c->failAll.clear();
    c->shortCountdowns.clear();
}

DeviceHandle FaultyUsbDriver::open(const std::string& deviceName) {
    const int slot = CardSlot(deviceName);
    Card* c = card(slot);
    if (c != nullptr && (c->failOpen || c->gone))
        return kNoHandle;
    const DeviceHandle handle = inner_.open(deviceName);
    if (handle != kNoHandle) {
        handles_[handle] = slot;
        if (c != nullptr)
            ++c->opens;
    }
    return handle;
}

void FaultyUsbDriver::close(DeviceHandle handle) {
    if (handle == kNoHandle)
        ++closesOfNoHandle_;
    else if (handles_.erase(handle) == 0)
        ++closesOfUnknownHandle_;
    inner_.close(handle);
}

bool FaultyUsbDriver::injectedFailure(Card& c, std::uint32_t code) {
    if (c.failAll.contains(code))
        return true;
    const auto it = c.failCountdowns.find(code);
    if (it == c.failCountdowns.end())
        return false;
    bool fail = false;
    for (int& left : it->second) {
        if (--left == 0)
            fail = true;
    }
    std::erase_if(it->second, [](int left) { return left <= 0; });
    if (it->second.empty())
        c.failCountdowns.erase(it);
    return fail;
}

std::uint32_t FaultyUsbDriver::shortLimit(Card& c, std::uint32_t code) {
    std::uint32_t limit = UINT32_MAX;
    const auto it = c.shortCountdowns.find(code);
    if (it == c.shortCountdowns.end())
        return limit;
    for (auto& [left, bytes] : it->second) {
        if (--left == 0)
            limit = std::min(limit, bytes);
    }
    std::erase_if(it->second, [](const auto& entry) { return entry.first <= 0; });
    if (it->second.empty())
        c.shortCountdowns.erase(it);
    return limit;
}

bool FaultyUsbDriver::forward(DeviceHandle handle, std::uint32_t code,
                              std::span<const std::uint8_t> input, std::span<std::uint8_t> output,
                              std::uint32_t limit, std::uint32_t& returned) {
    if (limit == UINT32_MAX)
        return inner_.ioControl(handle, code, input, output, returned);
    // A bulk write's data is its output buffer: only the first bytes go.
    if (code == kIoctlBulkWrite)
        return inner_.ioControl(handle, code, input,
                                output.first(std::min<std::size_t>(output.size(), limit)),
                                returned);
    // A short answer delivers only its first bytes; the rest of the caller's
    // buffer is left as it was.
    std::vector<std::uint8_t> whole(output.begin(), output.end());
    const bool ok = inner_.ioControl(handle, code, input, whole, returned);
    returned = std::min<std::uint32_t>({returned, limit, static_cast<std::uint32_t>(whole.size())});
    std::copy_n(whole.begin(), returned, output.begin());
    return ok;
}

bool FaultyUsbDriver::ioControl(DeviceHandle handle, std::uint32_t controlCode,
                                std::span<const std::uint8_t> input, std::span<std::uint8_t> output,
                                std::uint32_t& bytesReturned) {
    bytesReturned = 0;
    const auto known = handles_.find(handle);
    const int slot = known == handles_.end() ? -1 : known->second;
    Card* c = card(slot);
    bool ok = false;
    if (c == nullptr) {
        ok = inner_.ioControl(handle, controlCode, input, output, bytesReturned);
    } else if (!c->gone) {
        const bool failed = injectedFailure(*c, controlCode);
        const std::uint32_t limit = shortLimit(*c, controlCode);
        if (!failed)
            ok = forward(handle, controlCode, input, output, limit, bytesReturned);
        if (IsBulk(controlCode) && c->unplugCountdown > 0 && --c->unplugCountdown == 0)
            c->gone = true;
    }
    if (c != nullptr && ok && controlCode == kIoctlBulkWrite) {
        c->lastWrite.assign(output.begin(),
                            output.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(
                                                 bytesReturned, output.size())));
        if (recording_)
            c->writes.push_back(c->lastWrite);
    }
    if (recording_) {
        requests_.push_back({slot, controlCode, input.size(), output.size(), ok, bytesReturned,
                             std::vector<std::uint8_t>(input.begin(), input.end())});
    }
    return ok;
}

const std::vector<std::vector<std::uint8_t>>& FaultyUsbDriver::bulkWrites(int slot) const {
    const Card* c = card(slot);
    return c != nullptr ? c->writes : kNoWrites;
}

const std::vector<std::uint8_t>& FaultyUsbDriver::lastBulkWrite(int slot) const {
    const Card* c = card(slot);
    return c != nullptr ? c->lastWrite : kNoBytes;
}

int FaultyUsbDriver::opens(int slot) const {
    const Card* c = card(slot);
    return c != nullptr ? c->opens : 0;
}

void FaultyUsbDriver::clearRecords() {
    requests_.clear();
    for (Card& c : cards_)
        c.writes.clear();
}

}  // namespace quenlor
