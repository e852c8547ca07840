#include "snapshot/CompareListing.h"

#include "core/NumberFormat.h"
#include "snapshot/SnapshotCompare.h"

namespace quenlor {

namespace {

std::string Value4(const std::optional<std::uint16_t>& value) {
    return value ? FormatHex4(*value) : "----";
}

}  // namespace

CompareListing MakeCompareListing(const Snapshot& live, const Snapshot& saved,
                                  const RegisterTable& table, bool all) {
    CompareListing out;
    out.text = "Name\t\tAddr\tLive\tSaved\r\n";
    // Each underline within its column's tab stop, so the columns stay in line.
    out.text += std::string(15, '-') + "\t----\t----\t-----\r\n";
    int line = 2;
    for (std::int16_t i = 0; i <= table.LastRegIndex; ++i) {
        if (!all && IsChangingRegister(i))
            continue;
        const auto a = live.ValueOf(i);
        const auto b = saved.ValueOf(i);
        const RegisterEntry& entry = table[i];
        out.text += entry.Label + "     \t" + FormatHex(entry.BaseAddr) + "\t" + Value4(a) + "\t" +
                    Value4(b);
        // Marked in the text too, so a copy of the listing keeps the difference.
        if (a != b) {
            out.text += "\t<>";
            out.differingLines.push_back(line);
        }
        out.text += "\r\n";
        ++line;
    }
    return out;
}

}  // namespace quenlor
