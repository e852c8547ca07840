#include "usb/EzUsbAccess.h"

#include <algorithm>
#include <vector>

namespace quenlor {

namespace {

constexpr std::size_t kPipeEntryOffset = 16;
constexpr std::size_t kPipeEntrySize = 20;
constexpr int kLastPipe = 16;
constexpr std::uint16_t kVendorId = 0x7B1D;
constexpr std::uint16_t kProductTarrow = 0xED03;
constexpr std::uint16_t kProductKestin = 0xEF00;
constexpr std::uint8_t kStringRequestTag = 0x1B;

std::uint16_t le16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

}  // namespace

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
    if (handle == kNoHandle || pipe < 0 || pipe > kLastPipe)
        return 0;
    PipeTable table{};
    if (!ReadPipeTable(handle, table))
        return 0;
    return le16(&table[kPipeEntryOffset + kPipeEntrySize * static_cast<std::size_t>(pipe)]);
}

std::string EzUsbAccess::ReadUsbString(DeviceHandle handle, std::int16_t index) {
    const std::string none = "None";
    if (handle == kNoHandle)
        return none;

    const std::array<std::uint8_t, 5> request{static_cast<std::uint8_t>(index & 0xFF), 0, 0, 0,
                                              kStringRequestTag};
    std::array<std::uint8_t, 4> head{};
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
    std::string text;
    for (std::size_t i = 2; i < usable; i += 2)
        text.push_back(static_cast<char>(full[i]));
    return text;
}

std::int32_t EzUsbAccess::UsbBulkTransfer(DeviceHandle handle, std::int16_t pipe,
                                          std::uint8_t* buffer, std::int32_t& length) {
    if (handle == kNoHandle)
        return -2;
    if (pipe < 0 || pipe > kLastPipe || length < 0 || (buffer == nullptr && length > 0)) {
        length = 0;
        return 0;
    }

    PipeTable table{};
    ReadPipeTable(handle, table);
    const std::uint8_t endpoint =
        table[kPipeEntryOffset + kPipeEntrySize * static_cast<std::size_t>(pipe) + 2];

    const auto p = static_cast<std::uint32_t>(pipe);
    const std::array<std::uint8_t, 4> pipeRecord{
        static_cast<std::uint8_t>(p & 0xFF), static_cast<std::uint8_t>((p >> 8) & 0xFF),
        static_cast<std::uint8_t>((p >> 16) & 0xFF), static_cast<std::uint8_t>((p >> 24) & 0xFF)};

    const std::uint32_t code = endpoint > 0x80 ? kIoctlBulkRead : kIoctlBulkWrite;
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

    std::array<std::uint8_t, 3> buffer{0x00, 0, 0};
    std::int32_t length = 1;
    if (UsbBulkTransfer(handle, 0, buffer.data(), length) != 1)
        return fail();
    length = 2;
    if (UsbBulkTransfer(handle, 1, buffer.data(), length) != 1)
        return fail();
    card.DriverRev = static_cast<float>(buffer[1]) / 10.0f + static_cast<float>(buffer[0]);

    const std::uint16_t packetSize = ReadPipePacketSize(handle, 3);
    if (packetSize == 0)
        return fail();
    card.Speed = packetSize > 64 ? "2" : "1.1";
}

void EzUsbAccess::ScanUsbCards() {
    UsbCardCount = 0;
    for (auto& card : UsbCards) {
        card.DeviceName.clear();
        card.Found = false;
    }

    for (int n = 0; n < static_cast<int>(UsbCards.size()); ++n) {
        const std::string name = "Ezusb-" + std::to_string(n);
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
        if (le16(&descriptor[8]) == kVendorId) {
            const std::uint16_t product = le16(&descriptor[10]);
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
