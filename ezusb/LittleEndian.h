#pragma once

#include <cstdint>

namespace quenlor {

// The driver's records are little-endian whatever the host's order.
inline void PutLe16(std::uint8_t* at, std::uint32_t value) {
    at[0] = static_cast<std::uint8_t>(value & 0xFF);
    at[1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

inline void PutLe32(std::uint8_t* at, std::uint32_t value) {
    PutLe16(at, value & 0xFFFF);
    PutLe16(at + 2, value >> 16);
}

inline std::uint16_t GetLe16(const std::uint8_t* at) {
    return static_cast<std::uint16_t>(at[0] | (at[1] << 8));
}

inline std::uint32_t GetLe32(const std::uint8_t* at) {
    return static_cast<std::uint32_t>(GetLe16(at)) |
           (static_cast<std::uint32_t>(GetLe16(at + 2)) << 16);
}

}  // namespace quenlor
