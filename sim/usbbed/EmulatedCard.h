#pragma once

#include <cstdint>
#include <deque>
#include <set>
#include <vector>

#include "sim/SimAdapterCard.h"
#include "sim/SimCardFirmware.h"

typedef struct _UMockdevIoctlData UMockdevIoctlData;

namespace quenlor {

class SimSensor;

// One adapter card as its usbfs node answers the URBs libusb submits: bulk
// OUT endpoint 0x02 takes commands, which the card's firmware runs on the
// sensor; each answer waits in the card until an IN transfer on 0x86 takes it,
// as a real card keeps an answer in its endpoint buffer until the host asks.
// Control transfers give the string descriptors. Faults: the card unplugged,
// an endpoint halted until it is cleared, answers held back past the host's
// timeout. Not thread-safe: the test bed serialises every call.
class EmulatedCard {
  public:
    static constexpr std::uint8_t kCommandEndpoint = 0x02;
    static constexpr std::uint8_t kAnswerEndpoint = 0x86;

    struct Counts {
        int bulkOut = 0;
        int bulkIn = 0;
        int control = 0;
        int clearHalts = 0;
        int reaps = 0;   // reaping requests, those that found nothing included
        int others = 0;  // claims, releases, capability queries and the like
    };

    EmulatedCard(SimSensor& sensor, const SimCardConfig& config);
    ~EmulatedCard();
    EmulatedCard(const EmulatedCard&) = delete;
    EmulatedCard& operator=(const EmulatedCard&) = delete;

    // usbfs requests. Each gives the errno the kernel would (0: success).
    int submit(UMockdevIoctlData* urb);  // the resolved URB; referenced while in flight
    UMockdevIoctlData* reap();           // a finished URB, or none (EAGAIN, or ENODEV when gone)
    int discard(unsigned long clientAddress);
    void clearHalt(std::uint8_t endpoint);

    void unplug();
    // The card goes at the `urbs`-th bulk transfer from now, which then fails.
    void unplugAfter(int urbs) { unplugCountdown_ = urbs; }
    bool gone() const { return gone_; }
    void halt(std::uint8_t endpoint) { halted_.insert(endpoint); }
    // While held, answers stay in the firmware; released, they wait for the host.
    void holdAnswers(bool hold);

    Counts& counts() { return counts_; }
    SimCardFirmware& firmware() { return firmware_; }

  private:
    void control(UMockdevIoctlData* urb);
    void serveAnswers();
    void finish(UMockdevIoctlData* urb, int status, int length);

    SimSensor& sensor_;
    SimCardConfig config_;
    SimCardFirmware firmware_;
    std::deque<std::vector<std::uint8_t>> answers_;  // waiting for an IN transfer
    std::deque<std::vector<std::uint8_t>> held_;
    bool holding_ = false;
    bool gone_ = false;
    int unplugCountdown_ = 0;
    std::set<std::uint8_t> halted_;
    std::deque<UMockdevIoctlData*> waitingIn_;  // IN URBs with no answer yet
    std::deque<UMockdevIoctlData*> finished_;
    Counts counts_;
};

}  // namespace quenlor
