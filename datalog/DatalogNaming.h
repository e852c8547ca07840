#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "regmap/RegisterGroups.h"

namespace quenlor {

inline constexpr int kDatalogSelectionCount = static_cast<int>(kOutputRegisters.size());

// Box i logs the register with table index i; its caption is that register's label.
inline constexpr std::array<const char*, kDatalogSelectionCount> kDatalogColumnNames = [] {
    std::array<const char*, kDatalogSelectionCount> names{};
    for (std::size_t i = 0; i < names.size(); ++i)
        names[i] = kRegisterMap[static_cast<std::size_t>(kOutputRegisters[i])].label;
    return names;
}();
static_assert(kOutputRegisters.front() == 1, "box i logs the register of index i");

// Field separator and file extension, chosen together from the decimal separator.
struct DatalogFormat {
    std::string separator;
    std::string extension;
};

// The locale's own rendering of 1.2 tells whether "," is taken by decimals:
// then fields are tab-separated in ".txt" files, otherwise ".csv" with commas.
DatalogFormat ChooseDatalogFormat(const std::string& decimalSeparator);

// BaseName "_" f extension, f in decimal without blanks.
std::string DatalogFileName(const std::string& baseName, std::int64_t file,
                            const std::string& extension);

// False for a base name that would lead the file out of the application
// directory (a path separator, a drive colon, "..") or holds control characters.
bool IsPlainBaseName(const std::string& baseName);

// UTF-8 text as the single-byte (Latin-1) text the files hold; a character
// beyond Latin-1 becomes "?".
std::string Latin1FromUtf8(const std::string& text);

}  // namespace quenlor
