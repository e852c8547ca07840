#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "ezusb/EzUsbContract.h"
#include "ezusb/PipeTable.h"
#include "platform/EzUsbDriver.h"
#include "platform/MessageBoxes.h"
#include "usb/UsbCardRecord.h"

namespace quenlor {

// EZ-USB driver access, card discovery and the card in use. The adapter card
// state lives here for the whole run.
class EzUsbAccess {
  public:
    EzUsbAccess(EzUsbDriver& driver, MessageBoxes& messages);

    std::array<UsbCardRecord, 4> UsbCards{};
    std::int16_t UsbCardCount = 0;
    std::int16_t UsbSelectedIndex = -1;
    UsbCardRecord UsbSelectedCard{};

    // UsbReady is the Found field of the selected card.
    bool UsbReady() const { return UsbSelectedCard.Found; }
    void SetUsbReady(bool ready) { UsbSelectedCard.Found = ready; }

    DeviceHandle OpenUsbDevice(const std::string& deviceName);
    void CloseUsbDevice(DeviceHandle handle);
    bool ReadPipeTable(DeviceHandle handle, PipeTable& table);
    std::uint16_t ReadPipePacketSize(DeviceHandle handle, int pipe);
    std::string ReadUsbString(DeviceHandle handle, std::int16_t index);
    // 1 on success, 0 on failure, -2 without a handle. `length` is set to the
    // bytes the driver reports.
    std::int32_t UsbBulkTransfer(DeviceHandle handle, std::int16_t pipe, std::uint8_t* buffer,
                                 std::int32_t& length);
    void ReadBoardInfo(DeviceHandle handle, UsbCardRecord& card);
    void ScanUsbCards();
    void FindUsbBuffers();

    MessageBoxes& messages() { return messages_; }

  private:
    EzUsbDriver& driver_;
    MessageBoxes& messages_;
};

}  // namespace quenlor
