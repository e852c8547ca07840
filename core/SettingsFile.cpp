#include "core/SettingsFile.h"

#include <charconv>
#include <cstdint>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "core/NumberFormat.h"
#include "core/ReplacedFile.h"

namespace quenlor {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// A line as one text field: leading blanks skipped, ending at a comma or at
// the end of the line (a CR before the LF belongs to the line end).
std::string_view FirstField(std::string_view line) {
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    std::size_t start = 0;
    while (start < line.size() && IsBlank(line[start]))
        ++start;
    line.remove_prefix(start);
    const std::size_t comma = line.find(',');
    if (comma != std::string_view::npos)
        line = line.substr(0, comma);
    return line;
}

// A decimal integer between optional blanks, with at most one sign; nothing
// for anything else ("+-6" is not a number).
std::optional<std::int32_t> ParseInteger(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    // One "+" is allowed; the number itself may carry no further sign.
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-')
            return std::nullopt;
    }
    if (text.empty())
        return std::nullopt;
    std::int32_t value = 0;
    const auto res = std::from_chars(text.data(), text.data() + text.size(), value);
    if (res.ec != std::errc{} || res.ptr != text.data() + text.size())
        return std::nullopt;
    return value;
}

// The settings are 16-bit signed. A port address is a 16-bit pattern, so one
// written unsigned (57360 for E010 hex) is the same address (-8176).
std::optional<std::int16_t> ToSetting(std::int32_t value, bool unsignedToo) {
    if (value >= INT16_MIN && value <= INT16_MAX)
        return static_cast<std::int16_t>(value);
    if (unsignedToo && value > INT16_MAX && value <= UINT16_MAX)
        return static_cast<std::int16_t>(value - 65536);
    return std::nullopt;
}

void ApplyLine(Settings& settings, std::string_view field) {
    // The key is the text before the blank that precedes "="; the value starts
    // after the blank that follows it. A line missing either blank yields a key
    // that matches nothing.
    const std::size_t eq = field.find('=');
    if (eq == std::string_view::npos || eq == 0)
        return;
    const std::string_view key = field.substr(0, eq - 1);
    std::int16_t* target = nullptr;
    if (key == "Interface") {
        target = &settings.Interface;
    } else if (key == "Port Address") {
        target = &settings.PortAddress;
    } else if (key == "ProductNumber") {
        target = &settings.ProductNumber;
    }
    if (target == nullptr || eq + 2 > field.size())
        return;
    const auto number = ParseInteger(field.substr(eq + 2));
    if (!number)
        return;
    if (const auto value = ToSetting(*number, target == &settings.PortAddress))
        *target = *value;
}

}  // namespace

void LoadSettings(Settings& settings, const std::filesystem::path& directory) {
    std::ifstream in(directory / kSettingsFileName, std::ios::binary);
    if (!in)
        return;
    std::string line;
    while (std::getline(in, line))
        ApplyLine(settings, FirstField(line));
}

void SaveSettings(const Settings& settings, const std::filesystem::path& directory) {
    const std::string text = "Interface = " + FormatPrintInteger(settings.Interface) + "\r\n" +
                             "Port Address = " + FormatPrintInteger(settings.PortAddress) + "\r\n" +
                             "ProductNumber = " + FormatPrintInteger(settings.ProductNumber) +
                             "\r\n";
    // Never a truncated file, not even after a crash or a full disk; a file that
    // may not be written (read-only, locked) stays as it is. Failures are silent.
    ReplacedFile file;
    if (file.Open(directory / kSettingsFileName) && file.Write(text))
        file.Commit();
}

}  // namespace quenlor
