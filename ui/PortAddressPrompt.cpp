#include "ui/PortAddressPrompt.h"

#include <cstdio>
#include <string>

namespace quenlor {

std::optional<std::uint16_t> ParsePortAddress(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    if (text.empty() || text.size() > 4)
        return std::nullopt;
    unsigned value = 0;
    for (char c : text) {
        unsigned digit = 0;
        if (c >= '0' && c <= '9')
            digit = static_cast<unsigned>(c - '0');
        else if (c >= 'A' && c <= 'F')
            digit = static_cast<unsigned>(c - 'A' + 10);
        else if (c >= 'a' && c <= 'f')
            digit = static_cast<unsigned>(c - 'a' + 10);
        else
            return std::nullopt;
        value = value * 16 + digit;
    }
    if (value == 0)
        return std::nullopt;
    return static_cast<std::uint16_t>(value);
}

std::optional<std::int16_t> AskPortAddress(MessageBoxes& messages, std::int16_t current) {
    char start[8] = "378";
    if (current != 0)
        std::snprintf(start, sizeof start, "%X",
                      static_cast<unsigned>(static_cast<std::uint16_t>(current)));
    std::string initial = start;
    for (;;) {
        const auto typed = messages.askText(
            "Base address of the parallel port in hex (378, 278, 3BC, or the address of an "
            "add-in card):",
            initial);
        if (!typed)
            return std::nullopt;
        if (const auto address = ParsePortAddress(*typed))
            return static_cast<std::int16_t>(*address);
        messages.show("\"" + *typed +
                      "\" is not a port address: type 1 to 4 hex digits, such as 378.");
        initial = *typed;
    }
}

}  // namespace quenlor
