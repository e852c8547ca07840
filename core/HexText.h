#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace quenlor {

// Up to four hex digits to 0..65535. Characters that are not hex digits count
// as 0; longer text uses its last four characters. One byte is one character:
// callers holding other text pass it as Latin-1 (a multi-byte UTF-8 character
// would shift the digits before it).
std::int32_t HexToDec(std::string_view text);
// Strict: one to `maxDigits` hex digits and nothing else, else nothing.
std::optional<std::uint32_t> ParseHexDigits(std::string_view text, std::size_t maxDigits);

}  // namespace quenlor
