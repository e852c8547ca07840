#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "ezusb/EzUsbContract.h"
#include "ezusb/PipeTable.h"
#include "platform/EzUsbDriver.h"
#include "sim/SimCardFirmware.h"

namespace quenlor {

class BusTrace;
class SimSensor;

// What a simulated card reports about itself.
struct SimCardConfig {
    static constexpr std::uint16_t kHighSpeedPacket = 512;
    static constexpr std::uint16_t kFullSpeedPacket = 64;

    std::uint16_t vendorId = kVendorId;
    std::uint16_t productId = kProductTarrow;
    std::string descriptor1 = "Quenlor Devices";     // string descriptor 1
    std::string descriptor2 = "USB to SPI Adapter";  // string descriptor 2
    std::uint8_t revisionWhole = 1;
    std::uint8_t revisionTenths = 5;
    // Packet size the pipe table gives for pipe 3: 512 on a high-speed card,
    // 64 on a full-speed one.
    std::uint16_t pipe3PacketSize = kHighSpeedPacket;
};

// The EZ-USB adapter card as a driver back-end: up to four cards at the names
// "Ezusb-0".."Ezusb-3", each answering the five driver requests and running
// the card's firmware (SimCardFirmware) on the simulated sensor.
//
// A request with nothing queued on pipe 1 fails, as a real read would time
// out. Faults can be injected per card for the tests.
class SimAdapterCard : public EzUsbDriver {
  public:
    static constexpr int kSlots = kCardSlots;

    explicit SimAdapterCard(SimSensor& sensor);

    // EzUsbDriver
    DeviceHandle open(const std::string& deviceName) override;
    bool ioControl(DeviceHandle handle, std::uint32_t controlCode,
                   std::span<const std::uint8_t> input, std::span<std::uint8_t> output,
                   std::uint32_t& bytesReturned) override;
    void close(DeviceHandle handle) override;

    // Cards.
    void placeCard(int slot, const SimCardConfig& config = {});
    void removeCard(int slot);
    bool hasCard(int slot) const;
    // The card disappears: opens fail and requests on old handles fail.
    void unplug(int slot);
    // The card disappears once `transfers` more bulk requests have completed.
    void unplugAfter(int slot, int transfers);

    // Faults, each counted from the moment it is set, on one card.
    void failOpen(int slot, bool fail = true);
    // The nth request (1 = the next) with this control code fails.
    void failRequest(int slot, std::uint32_t controlCode, int nth = 1);
    // Every request with this control code fails until clearFaults.
    void failAllRequests(int slot, std::uint32_t controlCode);
    void failBulkWrite(int slot, int nth = 1) { failRequest(slot, kIoctlBulkWrite, nth); }
    void failBulkRead(int slot, int nth = 1) { failRequest(slot, kIoctlBulkRead, nth); }
    // The nth answer to this control code delivers at most `bytes` bytes and
    // reports that many; the request still succeeds.
    void answerShort(int slot, std::uint32_t controlCode, std::uint32_t bytes, int nth = 1);
    void clearFaults(int slot);

    void setTrace(BusTrace* trace);

    // What the tests look at.
    struct Request {
        int slot;
        std::uint32_t controlCode;
        std::size_t inputSize;
        std::size_t outputSize;
        bool ok;
        std::uint32_t bytesReturned;
        std::vector<std::uint8_t> input;
    };
    // Keeping every request and bulk write is for tests; off by default so a
    // long simulated run does not grow without end.
    void setRecording(bool on) { recording_ = on; }
    const std::vector<Request>& requests() const { return requests_; }
    const std::vector<std::vector<std::uint8_t>>& bulkWrites(int slot) const;
    const std::vector<std::uint8_t>& lastBulkWrite(int slot) const;
    int opens(int slot) const;
    int openHandles() const { return static_cast<int>(handles_.size()); }
    int closesOfNoHandle() const { return closesOfNoHandle_; }
    int closesOfUnknownHandle() const { return closesOfUnknownHandle_; }
    std::uint8_t delaySetting(int slot) const;
    std::uint8_t staticBits(int slot) const;
    int lastChannel(int slot) const;
    bool lastPolarityPositive(int slot) const;
    void clearRecords();

  private:
    struct Card {
        bool present = false;
        SimCardConfig config;
        SimCardFirmware firmware;
        std::vector<std::uint8_t> answer;
        int opens = 0;
        int unplugCountdown = 0;  // 0: none
        bool failOpen = false;
        std::map<std::uint32_t, std::vector<int>> failCountdowns;
        std::map<std::uint32_t, bool> failAll;
        std::map<std::uint32_t, std::vector<std::pair<int, std::uint32_t>>> shortCountdowns;
        std::vector<std::vector<std::uint8_t>> writes;
        std::vector<std::uint8_t> lastWrite;
    };

    Card* cardFor(DeviceHandle handle, int& slot);
    bool injectedFailure(Card& card, std::uint32_t code);
    std::uint32_t shortLimit(Card& card, std::uint32_t code);
    bool answer(Card& card, std::uint32_t code, std::span<const std::uint8_t> input,
                std::span<std::uint8_t> output, std::uint32_t limit, std::uint32_t& returned);
    bool bulk(Card& card, bool read, std::span<const std::uint8_t> input,
              std::span<std::uint8_t> output, std::uint32_t limit, std::uint32_t& returned);
    static PipeTable pipeTable(const Card& card);
    static std::array<std::uint8_t, kDeviceDescriptorSize> deviceDescriptor(const Card& card);
    void runCommand(Card& card, std::span<const std::uint8_t> bytes);
    static std::string deviceName(int slot);
    static bool validSlot(int slot);

    SimSensor& sensor_;
    BusTrace* trace_ = nullptr;
    std::array<Card, kSlots> cards_{};
    std::map<DeviceHandle, int> handles_;
    DeviceHandle nextHandle_ = 1;
    int closesOfNoHandle_ = 0;
    int closesOfUnknownHandle_ = 0;
    bool recording_ = false;
    std::vector<Request> requests_;
};

}  // namespace quenlor
