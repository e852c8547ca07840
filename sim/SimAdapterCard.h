#pragma once

#include <array>
#include <cstdint>
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
// out. Tests inject faults and record requests with platform/fake's
// FaultyUsbDriver around it.
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

    void setTrace(BusTrace* trace);

    // The firmware's state, as the card's own registers would show it.
    std::uint8_t delaySetting(int slot) const;
    std::uint8_t staticBits(int slot) const;
    int lastChannel(int slot) const;
    bool lastPolarityPositive(int slot) const;

  private:
    struct Card {
        bool present = false;
        SimCardConfig config;
        SimCardFirmware firmware;
        std::vector<std::uint8_t> answer;
    };

    Card* cardFor(DeviceHandle handle, int& slot);
    bool answer(Card& card, std::uint32_t code, std::span<const std::uint8_t> input,
                std::span<std::uint8_t> output, std::uint32_t& returned);
    bool bulk(Card& card, bool read, std::span<const std::uint8_t> input,
              std::span<std::uint8_t> output, std::uint32_t& returned);
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
};

}  // namespace quenlor
