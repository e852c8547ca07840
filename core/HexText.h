#pragma once

#include <cstdint>
#include <string_view>

namespace quenlor {

// Up to four hex digits to 0..65535. Characters that are not hex digits count
// as 0; longer text uses its last four characters.
std::int32_t HexToDec(std::string_view text);

}  // namespace quenlor
