#include "usb/UsbSpiCard.h"

#include <algorithm>

#include "ezusb/EzUsbContract.h"

namespace quenlor {

UsbSpiCard::UsbSpiCard(EzUsbAccess& usb, Settings& settings) : usb_(usb), settings_(settings) {}

void UsbSpiCard::UsbSpiReadSetup() {
    if (!usb_.UsbReady())
        return;

    settings_.UsbSpiDelay = 0;
    const DeviceHandle handle = usb_.OpenUsbDevice(usb_.UsbSelectedCard.DeviceName);

    std::array<std::uint8_t, 3> buffer{kCmdReadSetup, 0, 0};
    std::int32_t length = 1;
    if (usb_.UsbBulkTransfer(handle, kCommandPipe, buffer.data(), length) != 1) {
        usb_.messages().show("Error Setting up SPI");
        usb_.SetUsbReady(false);
    }

    // A short answer leaves the command byte where the delay would be; taking
    // it as the card's settings would report a read-back that never happened.
    constexpr std::int32_t kAnswerBytes = 2;
    length = kAnswerBytes;
    if (usb_.UsbBulkTransfer(handle, kAnswerPipe, buffer.data(), length) == 1 &&
        length >= kAnswerBytes) {
        settings_.UsbSpiDelay = buffer[0];
        settings_.UsbSpiBits = buffer[1] & kStaticBitsMask;
        usb_.CloseUsbDevice(handle);
    } else {
        usb_.messages().show("Error Reading SPI");
        usb_.CloseUsbDevice(handle);
        usb_.SetUsbReady(false);
    }
}

void UsbSpiCard::UsbSpiSetup(std::uint8_t& delay) {
    if (!usb_.UsbReady())
        return;

    if (delay == 0)
        delay = 1;
    settings_.UsbSpiDelay = delay;

    const DeviceHandle handle = usb_.OpenUsbDevice(usb_.UsbSelectedCard.DeviceName);
    std::array<std::uint8_t, 2> buffer{kCmdSetDelay, delay};
    std::int32_t length = 2;
    if (usb_.UsbBulkTransfer(handle, kCommandPipe, buffer.data(), length) != 1) {
        usb_.messages().show("Error Setting up SPI");
        usb_.SetUsbReady(false);
    }
    usb_.CloseUsbDevice(handle);
}

void UsbSpiCard::UsbSpiSetBits(std::uint8_t& bits) {
    if (!usb_.UsbReady())
        return;

    const DeviceHandle handle = usb_.OpenUsbDevice(usb_.UsbSelectedCard.DeviceName);
    settings_.UsbSpiBits = bits;
    std::array<std::uint8_t, 2> buffer{kCmdSetBits, bits};
    std::int32_t length = 2;
    if (usb_.UsbBulkTransfer(handle, kCommandPipe, buffer.data(), length) != 1) {
        usb_.messages().show("Error Setting SPI Bits");
        usb_.SetUsbReady(false);
    }
    usb_.CloseUsbDevice(handle);
}

void UsbSpiCard::UsbSpiTransfer(std::uint8_t& count) {
    if (!usb_.UsbReady())
        return;

    settings_.UsbSpiChannel = std::clamp<std::uint8_t>(settings_.UsbSpiChannel, 1, 5);
    // The word buffers hold 16 words; no caller may run past them.
    count = std::clamp<std::uint8_t>(count, 1, kMaxTransferWords);
    UsbWordCount = count;
    const DeviceHandle handle = usb_.OpenUsbDevice(usb_.UsbSelectedCard.DeviceName);

    std::array<std::uint8_t, 3 + 2 * kMaxTransferWords> buffer{};
    buffer[0] = settings_.UsbSpiPolarity ? kCmdTransferPos : kCmdTransferNeg;
    buffer[1] = settings_.UsbSpiChannel;
    buffer[2] = count;
    for (std::size_t i = 1; i <= count; ++i) {
        const auto word = static_cast<std::uint32_t>(UsbWriteWords[i]);
        buffer[3 + 2 * (i - 1)] = static_cast<std::uint8_t>((word >> 8) & 0xFF);
        buffer[4 + 2 * (i - 1)] = static_cast<std::uint8_t>(word & 0xFF);
    }

    std::int32_t length = 2 * count + 3;
    if (usb_.UsbBulkTransfer(handle, kCommandPipe, buffer.data(), length) != 1) {
        usb_.messages().show("Error Writing SPI");
        usb_.CloseUsbDevice(handle);
        usb_.SetUsbReady(false);
        return;
    }

    const std::int32_t wanted = 2 * count;
    length = wanted;
    // A short answer would leave bytes of the frame just written in the
    // buffer; taking them as sensor data would report corrupted data as read.
    if (usb_.UsbBulkTransfer(handle, kAnswerPipe, buffer.data(), length) != 1 || length < wanted) {
        usb_.messages().show("Error Reading SPI");
        usb_.CloseUsbDevice(handle);
        usb_.SetUsbReady(false);
        return;
    }

    for (std::size_t j = 1; j <= UsbWordCount; ++j) {
        UsbReadWords[j] = buffer[2 * (j - 1)] * 256 + buffer[2 * (j - 1) + 1];
    }
    usb_.CloseUsbDevice(handle);
}

}  // namespace quenlor
