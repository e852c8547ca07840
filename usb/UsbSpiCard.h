#pragma once

#include <array>
#include <cstdint>

#include "core/Settings.h"
#include "usb/EzUsbAccess.h"

namespace quenlor {

// The adapter card's command protocol on the selected card: every operation
// opens the card's device at its start and closes it at its end, and does
// nothing while UsbReady is false.
class UsbSpiCard {
  public:
    UsbSpiCard(EzUsbAccess& usb, Settings& settings);

    // Entries 1..16 are used; entry 0 never is.
    std::array<std::int32_t, 17> UsbWriteWords{};
    std::array<std::int32_t, 17> UsbReadWords{};
    std::uint8_t UsbWordCount = 0;

    void UsbSpiReadSetup();
    void UsbSpiSetup(std::uint8_t& delay);
    void UsbSpiSetBits(std::uint8_t& bits);
    void UsbSpiTransfer(std::uint8_t& count);

  private:
    EzUsbAccess& usb_;
    Settings& settings_;
};

}  // namespace quenlor
