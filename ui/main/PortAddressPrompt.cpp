#include "ui/main/PortAddressPrompt.h"

#include <string>

#include "core/HexText.h"
#include "core/NumberFormat.h"

namespace quenlor {

std::optional<std::uint16_t> ParsePortAddress(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    const auto value = ParseHexDigits(text, 4);
    if (!value || *value == 0)
        return std::nullopt;
    return static_cast<std::uint16_t>(*value);
}

std::optional<std::int16_t> AskPortAddress(MessageBoxes& messages, std::int16_t current) {
    std::string initial = current != 0 ? FormatHex(static_cast<std::uint16_t>(current)) : "378";
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
