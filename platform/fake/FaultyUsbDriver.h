#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "platform/EzUsbDriver.h"

namespace quenlor {

// Wraps any EzUsbDriver (the simulated card, the libusb back-end) for tests:
// injects faults per card, records the requests and the bulk writes, and
// counts opens and closes. Cards are told apart by the slot of the name they
// were opened by ("Ezusb-1" is slot 1); a handle it did not open is slot -1.
class FaultyUsbDriver : public EzUsbDriver {
  public:
    static constexpr int kSlots = 4;

    explicit FaultyUsbDriver(EzUsbDriver& inner) : inner_(inner) {}

    DeviceHandle open(const std::string& deviceName) override;
    bool ioControl(DeviceHandle handle, std::uint32_t controlCode,
                   std::span<const std::uint8_t> input, std::span<std::uint8_t> output,
                   std::uint32_t& bytesReturned) override;
    void close(DeviceHandle handle) override;

    // Faults, each counted from the moment it is set, on one card.
    void failOpen(int slot, bool fail = true);
    // The nth request (1 = the next) with this control code fails without
    // reaching the card.
    void failRequest(int slot, std::uint32_t controlCode, int nth = 1);
    // Every request with this control code fails until clearFaults.
    void failAllRequests(int slot, std::uint32_t controlCode);
    void failBulkWrite(int slot, int nth = 1);
    void failBulkRead(int slot, int nth = 1);
    // The nth answer to this control code delivers at most `bytes` bytes and
    // reports that many; the request still succeeds. A bulk write sends only
    // that many.
    void answerShort(int slot, std::uint32_t controlCode, std::uint32_t bytes, int nth = 1);
    // The card is gone once `transfers` more bulk requests have been made on
    // it: opens fail and requests on its handles fail.
    void unplugAfter(int slot, int transfers);
    void clearFaults(int slot);

    struct Request {
        int slot;
        std::uint32_t controlCode;
        std::size_t inputSize;
        std::size_t outputSize;
        bool ok;
        std::uint32_t bytesReturned;
        std::vector<std::uint8_t> input;
    };
    // Keeping every request and bulk write is off by default, so a long run
    // does not grow without end; the last bulk write is always kept.
    void setRecording(bool on) { recording_ = on; }
    const std::vector<Request>& requests() const { return requests_; }
    const std::vector<std::vector<std::uint8_t>>& bulkWrites(int slot) const;
    const std::vector<std::uint8_t>& lastBulkWrite(int slot) const;
    void clearRecords();

    // Successful opens of a card, handles open now, and closes of no handle or
    // of a handle this driver did not give out.
    int opens(int slot) const;
    int openHandles() const { return static_cast<int>(handles_.size()); }
    int closesOfNoHandle() const { return closesOfNoHandle_; }
    int closesOfUnknownHandle() const { return closesOfUnknownHandle_; }

  private:
    struct Card {
        bool failOpen = false;
        bool gone = false;
        int unplugCountdown = 0;  // 0: none
        std::map<std::uint32_t, std::vector<int>> failCountdowns;
        std::map<std::uint32_t, bool> failAll;
        std::map<std::uint32_t, std::vector<std::pair<int, std::uint32_t>>> shortCountdowns;
        int opens = 0;
        std::vector<std::vector<std::uint8_t>> writes;
        std::vector<std::uint8_t> lastWrite;
    };

    Card* card(int slot);
    const Card* card(int slot) const;
    bool injectedFailure(Card& card, std::uint32_t code);
    std::uint32_t shortLimit(Card& card, std::uint32_t code);
    bool forward(DeviceHandle handle, std::uint32_t code, std::span<const std::uint8_t> input,
                 std::span<std::uint8_t> output, std::uint32_t limit, std::uint32_t& returned);

    EzUsbDriver& inner_;
    std::array<Card, kSlots> cards_{};
    std::map<DeviceHandle, int> handles_;
    int closesOfNoHandle_ = 0;
    int closesOfUnknownHandle_ = 0;
    bool recording_ = false;
    std::vector<Request> requests_;
};

}  // namespace quenlor
