#pragma once

#include <cstddef>
#include <cstdint>

// What the program and the EZ-USB adapter card's driver agree on: the driver's
// control codes, the sizes of its records, the card's identifiers and the
// card firmware's command bytes. Everything that builds or answers a driver
// request takes these from here.
namespace quenlor {

// Driver control codes (device type 0x22, any access).
inline constexpr std::uint32_t kIoctlPipeTable = 0x222000;
inline constexpr std::uint32_t kIoctlDeviceDescriptor = 0x222004;
inline constexpr std::uint32_t kIoctlStringDescriptor = 0x222044;
inline constexpr std::uint32_t kIoctlBulkRead = 0x22204E;
inline constexpr std::uint32_t kIoctlBulkWrite = 0x222051;

// The pipe table: an interface header, then one entry per pipe.
inline constexpr std::size_t kPipeTableHeaderSize = 16;
inline constexpr std::size_t kPipeEntrySize = 20;
inline constexpr std::size_t kMaxPipes = 17;
inline constexpr std::size_t kPipeTableSize = kPipeTableHeaderSize + kPipeEntrySize * kMaxPipes;
static_assert(kPipeTableSize == 356);

// The buffer offered for the device descriptor, and the descriptor itself.
inline constexpr std::size_t kDeviceDescriptorBufferSize = 147;
inline constexpr std::size_t kDeviceDescriptorSize = 18;

// The string request: index, three zero bytes, the tag the driver expects.
inline constexpr std::size_t kStringRequestSize = 5;
inline constexpr std::uint8_t kStringRequestTag = 0x1B;
// The first string request asks for this much, to learn the whole length.
inline constexpr std::size_t kStringHeadSize = 4;
inline constexpr std::uint8_t kStringDescriptorType = 3;

// The pipe number record of the bulk requests: a 32-bit little-endian number.
inline constexpr std::size_t kPipeRecordSize = 4;

// An endpoint address above this is an IN endpoint (card to PC).
inline constexpr std::uint8_t kEndpointIn = 0x80;

// The adapter card's identifiers.
inline constexpr std::uint16_t kVendorId = 0x7B1D;
inline constexpr std::uint16_t kProductTarrow = 0xED03;
inline constexpr std::uint16_t kProductKestin = 0xEF00;

// The driver's device names "Ezusb-0" .. "Ezusb-3".
inline constexpr int kCardSlots = 4;

// The card's pipes as the program uses them.
inline constexpr std::int16_t kCommandPipe = 0;
inline constexpr std::int16_t kAnswerPipe = 1;
inline constexpr int kSpeedPipe = 3;

// The card firmware's commands, written on the command pipe.
inline constexpr std::uint8_t kCmdRevision = 0x00;
inline constexpr std::uint8_t kCmdReadSetup = 0x01;
inline constexpr std::uint8_t kCmdSetDelay = 0x0B;
inline constexpr std::uint8_t kCmdSetBits = 0x0C;
inline constexpr std::uint8_t kCmdTransferPos = 0x0D;
inline constexpr std::uint8_t kCmdTransferNeg = 0x0E;
// Words in one transfer frame, and the bits of the static chip selects.
inline constexpr std::uint8_t kMaxTransferWords = 16;
inline constexpr std::uint8_t kStaticBitsMask = 0x78;

}  // namespace quenlor
