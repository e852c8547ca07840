#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "regmap/RegisterTable.h"

namespace quenlor {

// One register's value as it was read: the low sixteen bits of the word.
struct SnapshotEntry {
    std::int16_t index = 0;
    std::uint16_t value = 0;
};

// The registers of one sensor at one moment, as a text file: comment lines
// ("# " and free text) saying when, from where and by what it was taken, a
// column line, then one line per register with its name, its address and its
// value as four hex digits, comma-separated so a spreadsheet reads it too.
class Snapshot {
  public:
    std::vector<std::string> comments;
    std::vector<SnapshotEntry> entries;  // table order when taken; file order when read

    std::optional<std::uint16_t> ValueOf(std::int16_t index) const;

    // The file's text; lines end with CR LF.
    std::string Text(const RegisterTable& table) const;

    // Reads a snapshot's text. A malformed line gives nullopt and `error`
    // "line N: what"; nothing of the text is kept then. Names are matched
    // without regard to case; line ends may be LF or CR LF.
    static std::optional<Snapshot> Parse(std::string_view text, const RegisterTable& table,
                                         std::string& error);
};

// The register of `name`, compared without regard to case; nullopt when the
// table has none of that name.
std::optional<std::int16_t> FindRegister(const RegisterTable& table, std::string_view name);

// "FLASH_CNT, SUPPLY_OUT, ...": every name of the table, for usage errors.
std::string RegisterNames(const RegisterTable& table);

}  // namespace quenlor
