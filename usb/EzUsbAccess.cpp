#include "usb/EzUsbAccess.h"

#include <algorithm>
#include <vector>

#include "ezusb/Descriptors.h"
#include "ezusb/DeviceName.h"
#include "ezusb/Requests.h"

namespace quenlor {

EzUsbAccess::EzUsbAccess(EzUsbDriver& driver, MessageBoxes& messages)
    : driver_(driver), messages_(messages) {}

DeviceHandle EzUsbAccess::OpenUsbDevice(const std::string& deviceName) {
    return driver_.open(deviceName);
}

void EzUsbAccess::CloseUsbDevice(DeviceHandle handle) {
    if (handle != kNoHandle)
        driver_.close(handle);
}

bool EzUsbAccess::ReadPipeTable(DeviceHandle handle, PipeTable& table) {
    // The request takes the record as input and gives it back filled; the
    // input is passed as its own copy so a back-end never sees aliased buffers.
    const PipeTable input = table;
    std::uint32_t returned = 0;
    const bool ok = driver_.ioControl(handle, kIoctlPipeTable, input, table, returned);
    if (!ok)
        table.fill(0);
    return ok;
}

std::uint16_t EzUsbAccess::ReadPipePacketSize(DeviceHandle handle, int pipe) {
    if (handle == kNoHandle || pipe < 0 || pipe >= static_cast<int>(kMaxPipes))
        return 0;
    PipeTable table{};
    if (!ReadPipeTable(handle, table))
        return 0;
    return PipePacketSize(table, pipe);
}

std::string EzUsbAccess::ReadUsbString(DeviceHandle handle, std::int16_t index) {
    const std::string none = "None";
    if (handle == kNoHandle)
        return none;

    const auto request = EncodeStringRequest(static_cast<std::uint8_t>(index & 0xFF));
    std::array<std::uint8_t, kStringHeadSize> head{};
    std::uint32_t returned = 0;
    if (!driver_.ioControl(handle, kIoctlStringDescriptor, request, head, returned))
        return none;

    const std::size_t length = head[0];
    std::vector<std::uint8_t> full(length, 0);
    returned = 0;
    if (!driver_.ioControl(handle, kIoctlStringDescriptor, request, full, returned))
        return none;

    // Only bytes the driver actually delivered count; a descriptor that claims
    // more than came back is cut where the answer ends.
    const std::size_t usable = std::min<std::size_t>(length, returned);
    return DecodeStringDescriptorText(std::span<const std::uint8_t>(full).first(usable));
}

std::int32_t EzUsbAccess::UsbBulkTransfer(DeviceHandle handle, std::int16_t pipe,
                                          std::uint8_t* buffer, std::int32_t& length) {
    if (handle == kNoHandle)
        return -2;
    if (pipe < 0 || pipe >= static_cast<int>(kMaxPipes) || length < 0 ||
        (buffer == nullptr && length > 0)) {
        length = 0;
        return 0;
    }

    PipeTable table{};
    ReadPipeTable(handle, table);
    const std::uint8_t endpoint = PipeEndpointAddress(table, pipe);
    const auto pipeRecord = EncodePipeRecord(static_cast<std::uint32_t>(pipe));

    const std::uint32_t code = endpoint > kEndpointIn ? kIoctlBulkRead : kIoctlBulkWrite;
    std::uint32_t returned = 0;
    const bool ok = driver_.ioControl(
        handle, code, pipeRecord, std::span<std::uint8_t>(buffer, static_cast<std::size_t>(length)),
        returned);
    length = static_cast<std::int32_t>(returned);
    return ok ? 1 : 0;
}

void EzUsbAccess::ReadBoardInfo(DeviceHandle handle, UsbCardRecord& card) {
    if (!card.Found || handle == kNoHandle)
        return;

    const auto fail = [&] {
        messages_.show("Error getting Board Info");
        card.Found = false;
    };

    card.Descriptor0 = ReadUsbString(handle, 1);
    if (card.Descriptor0 == "None")
        return fail();
    card.Descriptor1 = ReadUsbString(handle, 2);
    if (card.Descriptor1 == "None")
        return fail();

    std::array<std::uint8_t, 3> buffer{kCmdRevision, 0, 0};
    std::int32_t length = 1;
    if (UsbBulkTransfer(handle, kCommandPipe, buffer.data(), length) != 1)
        return fail();
    length = 2;
    if (UsbBulkTransfer(handle, kAnswerPipe, buffer.data(), length) != 1)
        return fail();
    card.DriverRev = static_cast<float>(buffer[1]) / 10.0f + static_cast<float>(buffer[0]);

    const std::uint16_t packetSize = ReadPipePacketSize(handle, kSpeedPipe);
    if (packetSize == 0)
        return fail();
    card.Speed = packetSize > 64 ? "2" : "1.1";
}

void EzUsbAccess::ScanUsbCards() {
    driver_.searchStarts();
    UsbCardCount = 0;
    for (auto& card : UsbCards) {
        card.DeviceName.clear();
        card.Found = false;
    }

    for (int n = 0; n < static_cast<int>(UsbCards.size()); ++n) {
        const std::string name = CardDeviceName(n);
        const DeviceHandle handle = OpenUsbDevice(name);
        if (handle == kNoHandle)
            continue;

        const std::array<std::uint8_t, kDeviceDescriptorBufferSize> input{};
        std::array<std::uint8_t, kDeviceDescriptorBufferSize> descriptor{};
        std::uint32_t returned = 0;
        if (!driver_.ioControl(handle, kIoctlDeviceDescriptor, input, descriptor, returned)) {
            descriptor.fill(0);
        }

        std::string boardType = "None";
        if (DescriptorVendorId(descriptor) == kVendorId) {
            const std::uint16_t product = DescriptorProductId(descriptor);
            if (product == kProductTarrow)
                boardType = "Tarrow";
            if (product == kProductKestin)
                boardType = "Kestin";
        }

        if (boardType != "None") {
            ++UsbCardCount;
            UsbCardRecord& card = UsbCards[static_cast<std::size_t>(n)];
            card.Found = true;
            card.DeviceName = name;
            card.BoardType = boardType;
            ReadBoardInfo(handle, card);
        }
        CloseUsbDevice(handle);
    }
}

void EzUsbAccess::FindUsbBuffers() {
    SetUsbReady(false);
    UsbSelectedIndex = -1;
    ScanUsbCards();

    if (UsbCardCount == 0) {
        messages_.show("No USB Buffers Found, Please Verify Setup and Restart");
        return;
    }
    for (std::size_t i = 0; i < UsbCards.size(); ++i) {
        if (UsbCards[i].Found) {
            UsbSelectedCard = UsbCards[i];
            UsbSelectedIndex = static_cast<std::int16_t>(i);
            return;
        }
    }
    SetUsbReady(false);
    messages_.show("No Valid USB Buffers Found, Please Verify Setup and Restart");
}

}  // namespace quenlor
