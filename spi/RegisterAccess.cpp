#include "spi/RegisterAccess.h"

#include <algorithm>
#include <array>

namespace quenlor {

namespace {

constexpr float kAccessPauseMs = 0.1f;

std::int32_t WriteFrame(std::int32_t address, std::int32_t data) {
    return 0x8000 + (address & 0x7F) * 256 + (data & 0xFF);
}

// The answer word cut to `readLen` bits, sign-extended when `twosCompl`.
std::int32_t Decode(std::int32_t word, std::int16_t readLen, bool twosCompl) {
    // A length outside 1..31 cannot be shifted safely; 32 bits keep the word.
    if (readLen <= 0)
        return 0;
    if (readLen >= 32)
        return word;
    const std::int64_t w = word;
    if (twosCompl) {
        const std::int64_t m = std::int64_t{1} << (readLen - 1);
        return static_cast<std::int32_t>((w & (m - 1)) - (w & m));
    }
    return static_cast<std::int32_t>(w & ((std::int64_t{1} << readLen) - 1));
}

}  // namespace

RegisterAccess::RegisterAccess(Settings& settings, RegisterTable& table, UsbSpiCard& usb,
                               ParallelSpi& par, Delay& delay)
    : settings_(settings), table_(table), usb_(usb), par_(par), delay_(delay) {}

void RegisterAccess::ReadRegister(std::int16_t index) {
    if (index < 0 || static_cast<std::size_t>(index) >= kRegisterTableSize)
        return;
    const RegisterEntry& entry = table_[index];
    if (!entry.ReadFlag)
        return;
    const std::int32_t word = SpiRead(entry.BaseAddr);
    RegisterReadResult.Value = Decode(word, entry.ReadLen, entry.TwosCompl);
    const double scaled = static_cast<double>(static_cast<float>(RegisterReadResult.Value)) *
                              static_cast<double>(entry.RegScale) +
                          static_cast<double>(entry.RegOffset);
    RegisterReadResult.Scaled = static_cast<float>(scaled);
    delay_.DelayMs(kAccessPauseMs);
}

void RegisterAccess::WriteRegister(std::int16_t index, std::int32_t value) {
    if (index < 0 || static_cast<std::size_t>(index) >= kRegisterTableSize)
        return;
    const std::int32_t address = table_[index].BaseAddr;
    const std::int32_t high = (value / 256) & 0xFF;
    const std::int32_t low = value & 0xFF;
    if (index == GLOB_CMD) {
        // The command register takes one byte per frame, and a second frame
        // would run a second command.
        if ((static_cast<std::uint32_t>(value) & 0xFFFFFF00u) != 0)
            SpiWriteByte(address + 1, high);
        else
            SpiWriteByte(address, low);
    } else {
        SpiWriteBytePair(address + 1, high, address, low);
    }
    delay_.DelayMs(kAccessPauseMs);
}

std::int32_t RegisterAccess::SpiRead(std::int32_t address) {
    const std::int32_t request = (address & 0x7F) * 256;
    switch (settings_.Interface) {
        case InterfaceUsb: {
            usb_.UsbWriteWords[1] = request;
            usb_.UsbWriteWords[2] = request;
            settings_.UsbSpiChannel = 1;
            std::uint8_t count = 2;
            usb_.UsbSpiTransfer(count);
            return usb_.UsbReadWords[2];
        }
        case InterfaceParallel:
            return par_.ParSpiRead(address);
        default:
            return 0;
    }
}

void RegisterAccess::SpiWriteByte(std::int32_t address, std::int32_t data) {
    const std::array<std::int32_t, 1> words{WriteFrame(address, data)};
    SendWriteFrames(words);
}

void RegisterAccess::SpiWriteBytePair(std::int32_t address1, std::int32_t data1,
                                      std::int32_t address2, std::int32_t data2) {
    const std::array<std::int32_t, 2> words{WriteFrame(address1, data1),
                                            WriteFrame(address2, data2)};
    SendWriteFrames(words);
}

// Over USB the frames go in one transfer; on the parallel port each is a
// frame of its own, with the select released in between.
void RegisterAccess::SendWriteFrames(std::span<const std::int32_t> words) {
    switch (settings_.Interface) {
        case InterfaceUsb: {
            std::copy(words.begin(), words.end(), usb_.UsbWriteWords.begin() + 1);
            settings_.UsbSpiChannel = 1;
            auto count = static_cast<std::uint8_t>(words.size());
            usb_.UsbSpiTransfer(count);
            break;
        }
        case InterfaceParallel:
            for (const std::int32_t word : words)
                par_.ParSpiWord(word);
            break;
        default:
            break;
    }
}

}  // namespace quenlor
