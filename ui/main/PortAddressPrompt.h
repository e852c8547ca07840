#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/MessageBoxes.h"

namespace quenlor {

// 1 to 4 hex digits, blanks around them allowed, not 0: a port base address.
std::optional<std::uint16_t> ParsePortAddress(std::string_view text);

// Asks for the parallel port's base address in hex, starting from `current`
// (378 when there is none), until the answer is an address or the user
// cancels. The address comes back as the 16-bit setting holds it.
std::optional<std::int16_t> AskPortAddress(MessageBoxes& messages, std::int16_t current);

}  // namespace quenlor
