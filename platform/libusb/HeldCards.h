#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <vector>

#include "platform/libusb/CardNames.h"
#include "platform/libusb/LibUsbCalls.h"

namespace quenlor {

// The cards the libusb back-end holds open, with interface 0 claimed, between
// the program's opens: a register read then costs its two bulk transfers and
// nothing more. A card is really closed when it leaves the bus, when a
// transfer on it fails and when the back-end ends. What a failed transfer
// leaves behind is mended when the card is opened again, before its next
// command: a stalled endpoint is cleared, and an answer that came after its
// read gave up is read and thrown away, so it is never taken for the answer
// to a later command.
class HeldCards {
  public:
    using Location = CardNames::Location;

    struct Card {
        LibUsbCalls::Handle usb = 0;
        UsbDeviceDescriptor descriptor;
        UsbInterfaceSummary interface;  // interface 0, setting 0
        bool reattachKernelDriver = false;
        std::uint64_t serial = 0;  // tells a card apart from its earlier openings
    };

    // How long a leftover answer is waited for: it is already waiting in the
    // card when there is one.
    static constexpr unsigned kDrainTimeoutMs = 10;
    static constexpr int kMaxDrainedAnswers = 8;

    explicit HeldCards(LibUsbCalls& calls);
    ~HeldCards();
    HeldCards(const HeldCards&) = delete;
    HeldCards& operator=(const HeldCards&) = delete;

    // The card held at `where` from the opening numbered `serial`, if still held.
    const Card* find(Location where, std::uint64_t serial) const;
    const Card* find(Location where) const;

    // Opens and claims the card as the listing gave it, and mends what its
    // last failure left. 0, or the libusb error that prevented it.
    int hold(const UsbDeviceSummary& device);

    // Closes the cards that are no longer on the bus.
    void keepOnly(const std::vector<Location>& present);

    // A transfer on the card failed with this libusb error: the card is closed,
    // and what is to be mended is remembered for its next opening.
    void failed(Location where, std::uint8_t endpoint, int error);

  private:
    struct Mend {
        std::set<std::uint8_t> halted;  // endpoints that stalled
        std::set<std::uint8_t> drain;   // IN endpoints whose answer may still come
    };

    int claim(Card& card);
    int mend(Location where, Card& card);
    int drain(const Card& card, std::uint8_t endpoint);
    void close(Location where);

    LibUsbCalls& calls_;
    std::map<Location, Card> cards_;
    std::map<Location, Mend> mends_;
    std::uint64_t nextSerial_ = 1;
};

}  // namespace quenlor
