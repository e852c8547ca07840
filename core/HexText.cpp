#include "core/HexText.h"

namespace quenlor {

namespace {

std::int32_t HexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return 0;
}

}  // namespace

std::int32_t HexToDec(std::string_view text) {
    // Only the last four characters fit in 0..65535; anything before them is ignored.
    if (text.size() > 4)
        text.remove_prefix(text.size() - 4);
    std::int32_t result = 0;
    for (char c : text)
        result = result * 16 + HexDigitValue(c);
    return result;
}

std::optional<std::uint32_t> ParseHexDigits(std::string_view text, std::size_t maxDigits) {
    if (text.empty() || text.size() > maxDigits)
        return std::nullopt;
    std::uint32_t result = 0;
    for (char c : text) {
        const bool digit =
            (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
        if (!digit)
            return std::nullopt;
        result = result * 16 + static_cast<std::uint32_t>(HexDigitValue(c));
    }
    return result;
}

}  // namespace quenlor
