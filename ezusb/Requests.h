#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "ezusb/EzUsbContract.h"

namespace quenlor {

// The pipe number record of the bulk requests.
std::array<std::uint8_t, kPipeRecordSize> EncodePipeRecord(std::uint32_t pipe);
// The pipe number; nullopt unless the input is exactly one record.
std::optional<std::uint32_t> DecodePipeRecord(std::span<const std::uint8_t> input);

// The string request for a descriptor index.
std::array<std::uint8_t, kStringRequestSize> EncodeStringRequest(std::uint8_t index);
// The descriptor index; nullopt unless the input is a well-formed request.
std::optional<std::uint8_t> DecodeStringRequest(std::span<const std::uint8_t> input);

}  // namespace quenlor
