#include "ezusb/Requests.h"

#include "ezusb/LittleEndian.h"

namespace quenlor {

std::array<std::uint8_t, kPipeRecordSize> EncodePipeRecord(std::uint32_t pipe) {
    std::array<std::uint8_t, kPipeRecordSize> record{};
    PutLe32(record.data(), pipe);
    return record;
}

std::optional<std::uint32_t> DecodePipeRecord(std::span<const std::uint8_t> input) {
    if (input.size() != kPipeRecordSize)
        return std::nullopt;
    return GetLe32(input.data());
}

std::array<std::uint8_t, kStringRequestSize> EncodeStringRequest(std::uint8_t index) {
    return {index, 0, 0, 0, kStringRequestTag};
}

std::optional<std::uint8_t> DecodeStringRequest(std::span<const std::uint8_t> input) {
    if (input.size() != kStringRequestSize || input[1] != 0 || input[2] != 0 || input[3] != 0 ||
        input[4] != kStringRequestTag)
        return std::nullopt;
    return input[0];
}

}  // namespace quenlor
