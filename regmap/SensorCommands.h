#pragma once

#include <cstdint>

namespace quenlor {

// Values written to GLOB_CMD; each bit starts one of the sensor's commands.
// Clears DIAG_STAT (bit 4).
inline constexpr std::uint8_t kClearStatusCommand = 16;
// Stores the writable registers in flash and counts it in FLASH_CNT (bit 6).
inline constexpr std::uint8_t kFlashUpdateCommand = 64;
// Puts the writable registers back from flash (bit 7).
inline constexpr std::uint8_t kRestoreFlashCommand = 128;

}  // namespace quenlor
