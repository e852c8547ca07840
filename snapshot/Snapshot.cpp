#include "snapshot/Snapshot.h"

#include <algorithm>
#include <cctype>

#include "core/HexText.h"
#include "core/NumberFormat.h"

namespace quenlor {

namespace {

constexpr std::string_view kColumns = "Name,Address,Value";

bool SameNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

std::vector<std::string_view> SplitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = line.find(',', start);
        fields.push_back(Trim(line.substr(start, comma - start)));
        if (comma == std::string_view::npos)
            return fields;
        start = comma + 1;
    }
}

// One register line into `entry`; the reason in `error` when it is not one.
bool ParseEntry(std::string_view line, const RegisterTable& table,
                const std::vector<SnapshotEntry>& before, SnapshotEntry& entry,
                std::string& error) {
    const auto fields = SplitFields(line);
    if (fields.size() != 3) {
        error = "expected NAME,ADDRESS,VALUE";
        return false;
    }
    const auto index = FindRegister(table, fields[0]);
    if (!index) {
        error = "unknown register " + std::string(fields[0]);
        return false;
    }
    const auto address = ParseHexDigits(fields[1], 2);
    if (!address || static_cast<std::int32_t>(*address) != table[*index].BaseAddr) {
        error = table[*index].Label + " is at address " +
                FormatHexDigits(static_cast<std::uint32_t>(table[*index].BaseAddr), 2) + ", not " +
                std::string(fields[1]);
        return false;
    }
    const auto value = fields[2].size() == 4 ? ParseHexDigits(fields[2], 4) : std::nullopt;
    if (!value) {
        error = "value of " + table[*index].Label +
                " is not four hex digits: " + std::string(fields[2]);
        return false;
    }
    for (const SnapshotEntry& e : before) {
        if (e.index == *index) {
            error = table[*index].Label + " is listed twice";
            return false;
        }
    }
    entry = {*index, static_cast<std::uint16_t>(*value)};
    return true;
}

}  // namespace

std::optional<std::int16_t> FindRegister(const RegisterTable& table, std::string_view name) {
    for (std::int16_t i = 0; i <= table.LastRegIndex; ++i) {
        if (table[i].ReadFlag && SameNoCase(table[i].Label, name))
            return i;
    }
    return std::nullopt;
}

std::string RegisterNames(const RegisterTable& table) {
    std::string names;
    for (std::int16_t i = 0; i <= table.LastRegIndex; ++i)
        names += (i == 0 ? "" : ", ") + table[i].Label;
    return names;
}

std::optional<std::uint16_t> Snapshot::ValueOf(std::int16_t index) const {
    for (const SnapshotEntry& e : entries) {
        if (e.index == index)
            return e.value;
    }
    return std::nullopt;
}

std::string Snapshot::Text(const RegisterTable& table) const {
    std::string text;
    for (const std::string& c : comments)
        text += "# " + c + "\r\n";
    text += std::string(kColumns) + "\r\n";
    for (const SnapshotEntry& e : entries) {
        const RegisterEntry& r = table[e.index];
        text += r.Label + "," + FormatHexDigits(static_cast<std::uint32_t>(r.BaseAddr), 2) + "," +
                FormatHexDigits(e.value, 4) + "\r\n";
    }
    return text;
}

std::optional<Snapshot> Snapshot::Parse(std::string_view text, const RegisterTable& table,
                                        std::string& error) {
    Snapshot s;
    int number = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = Trim(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        ++number;
        if (line.empty() || SameNoCase(line, kColumns))
            continue;
        if (line.front() == '#') {
            s.comments.emplace_back(Trim(line.substr(1)));
            continue;
        }
        SnapshotEntry entry;
        std::string why;
        if (!ParseEntry(line, table, s.entries, entry, why)) {
            error = "line " + std::to_string(number) + ": " + why;
            return std::nullopt;
        }
        s.entries.push_back(entry);
    }
    if (s.entries.empty()) {
        error = "no register lines";
        return std::nullopt;
    }
    return s;
}

}  // namespace quenlor
