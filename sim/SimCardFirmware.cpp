#include "sim/SimCardFirmware.h"

#include "ezusb/EzUsbContract.h"
#include "sim/BusTrace.h"
#include "sim/SimSensor.h"

namespace quenlor {

std::optional<std::vector<std::uint8_t>> SimCardFirmware::run(std::span<const std::uint8_t> command,
                                                              SimSensor& sensor, BusTrace* trace) {
    if (command.empty())
        return std::nullopt;
    switch (command[0]) {
        case kCmdRevision:
            return std::vector<std::uint8_t>{revisionWhole_, revisionTenths_};
        case kCmdReadSetup:
            return std::vector<std::uint8_t>{delay_,
                                             static_cast<std::uint8_t>(bits_ & kStaticBitsMask)};
        case kCmdSetDelay:
            if (command.size() >= 2)
                delay_ = command[1];
            return std::nullopt;
        case kCmdSetBits:
            if (command.size() >= 2)
                bits_ = command[1];
            return std::nullopt;
        case kCmdTransferPos:
        case kCmdTransferNeg:
            return transfer(command, sensor, trace);
        default:
            return std::nullopt;  // unknown commands are ignored
    }
}

std::optional<std::vector<std::uint8_t>> SimCardFirmware::transfer(
    std::span<const std::uint8_t> command, SimSensor& sensor, BusTrace* trace) {
    if (command.size() < 3)
        return std::nullopt;
    const int channel = command[1];
    const std::uint8_t count = command[2];
    // A frame whose count the firmware cannot honour is ignored.
    if (count < 1 || count > kMaxTransferWords || command.size() < 3u + 2u * count)
        return std::nullopt;
    lastChannel_ = channel;
    lastPositive_ = command[0] == kCmdTransferPos;
    std::vector<std::uint8_t> answer(2u * count);
    for (std::size_t i = 0; i < count; ++i) {
        const auto word =
            static_cast<std::uint16_t>((command[3 + 2 * i] << 8) | command[4 + 2 * i]);
        std::uint16_t reply = 0xFFFF;
        if (channel == 1) {
            reply = sensor.transfer(word, channel);
        } else if (trace != nullptr) {
            trace->frame(channel, word, reply);
        }
        answer[2 * i] = static_cast<std::uint8_t>(reply >> 8);
        answer[2 * i + 1] = static_cast<std::uint8_t>(reply & 0xFF);
    }
    return answer;
}

}  // namespace quenlor
