#include "platform/libusb/HeldCards.h"

#include <libusb.h>

#include <algorithm>

namespace quenlor {

namespace {

constexpr int kInterface = 0;

}  // namespace

HeldCards::HeldCards(LibUsbCalls& calls) : calls_(calls) {}

HeldCards::~HeldCards() {
    while (!cards_.empty())
        close(cards_.begin()->first);
}

const HeldCards::Card* HeldCards::find(Location where, std::uint64_t serial) const {
    const Card* card = find(where);
    return card != nullptr && card->serial == serial ? card : nullptr;
}

const HeldCards::Card* HeldCards::find(Location where) const {
    const auto it = cards_.find(where);
    return it == cards_.end() ? nullptr : &it->second;
}

int HeldCards::hold(const UsbDeviceSummary& device) {
    const Location where{device.bus, device.address};
    if (cards_.contains(where))
        return 0;
    Card card;
    card.descriptor = device.descriptor;
    if (const int rc = calls_.open(device.bus, device.address, card.usb); rc < 0 || card.usb == 0)
        return rc < 0 ? rc : LIBUSB_ERROR_OTHER;
    if (const int rc = claim(card); rc < 0)
        return rc;
    card.serial = nextSerial_++;
    Card& held = cards_.emplace(where, std::move(card)).first->second;
    if (const int rc = mend(where, held); rc < 0) {
        close(where);
        return rc;
    }
    return 0;
}

int HeldCards::claim(Card& card) {
    // With auto-detach the claim takes the interface from a bound kernel driver
    // and the release hands it back. Where libusb cannot do that, detach by hand
    // and attach again at close; where even the query is not supported, the
    // claim alone decides.
    if (calls_.setAutoDetachKernelDriver(card.usb, true) < 0 &&
        calls_.kernelDriverActive(card.usb, kInterface) == 1 &&
        calls_.detachKernelDriver(card.usb, kInterface) == 0) {
        card.reattachKernelDriver = true;
    }
    if (const int rc = calls_.claimInterface(card.usb, kInterface); rc < 0) {
        if (card.reattachKernelDriver)
            calls_.attachKernelDriver(card.usb, kInterface);
        calls_.close(card.usb);
        return rc;
    }
    // The pipes come from the descriptors libusb already holds: the card has
    // one setting, and nothing here selects another.
    std::vector<UsbInterfaceSummary> settings;
    if (calls_.activeConfiguration(card.usb, settings) >= 0) {
        const auto it = std::find_if(settings.begin(), settings.end(), [](const auto& s) {
            return s.number == kInterface && s.alternateSetting == 0;
        });
        if (it != settings.end())
            card.interface = *it;  // otherwise no pipes: bulk requests fail
    }
    return 0;
}

int HeldCards::mend(Location where, Card& card) {
    const auto it = mends_.find(where);
    if (it == mends_.end())
        return 0;
    for (const std::uint8_t endpoint : it->second.halted) {
        if (const int rc = calls_.clearHalt(card.usb, endpoint); rc == LIBUSB_ERROR_NO_DEVICE)
            return rc;
    }
    for (const std::uint8_t endpoint : it->second.drain) {
        if (const int rc = drain(card, endpoint); rc == LIBUSB_ERROR_NO_DEVICE)
            return rc;
    }
    mends_.erase(it);
    return 0;
}

int HeldCards::drain(const Card& card, std::uint8_t endpoint) {
    // A whole packet, so that a leftover of any length is taken in one read.
    std::uint16_t packet = 64;
    for (const UsbEndpointSummary& ep : card.interface.endpoints) {
        if (ep.address == endpoint)
            packet = std::max(packet, ep.maxPacketSize);
    }
    std::vector<std::uint8_t> buffer(packet);
    for (int n = 0; n < kMaxDrainedAnswers; ++n) {
        int transferred = 0;
        const int rc =
            calls_.bulkTransfer(card.usb, endpoint, buffer.data(), static_cast<int>(buffer.size()),
                                transferred, kDrainTimeoutMs);
        if (rc != 0 && rc != LIBUSB_ERROR_OVERFLOW)
            return rc == LIBUSB_ERROR_TIMEOUT ? 0 : rc;
    }
    return 0;
}

void HeldCards::keepOnly(const std::vector<Location>& present) {
    for (auto it = cards_.begin(); it != cards_.end();) {
        const Location where = (it++)->first;
        if (std::find(present.begin(), present.end(), where) == present.end())
            close(where);
    }
    std::erase_if(mends_, [&](const auto& m) {
        return std::find(present.begin(), present.end(), m.first) == present.end();
    });
}

void HeldCards::failed(Location where, std::uint8_t endpoint, int error) {
    if (error != LIBUSB_ERROR_NO_DEVICE) {
        Mend& m = mends_[where];
        if (error == LIBUSB_ERROR_PIPE)
            m.halted.insert(endpoint);
        // The answer the read missed may be waiting in the card, or come later.
        if ((endpoint & 0x80) != 0)
            m.drain.insert(endpoint);
    }
    close(where);
}

void HeldCards::close(Location where) {
    const auto it = cards_.find(where);
    if (it == cards_.end())
        return;
    const Card& card = it->second;
    calls_.releaseInterface(card.usb, kInterface);
    if (card.reattachKernelDriver)
        calls_.attachKernelDriver(card.usb, kInterface);
    calls_.close(card.usb);
    cards_.erase(it);
}

}  // namespace quenlor
