#include "ui/SweepRecord.h"

#include <charconv>

namespace quenlor {

void SweepRecord::Record(int position, const std::array<float, 3>& value,
                         const std::array<bool, 3>& drawn) {
    // The chart restarts its sweep before it could overrun; a full record
    // keeps its samples rather than write past them.
    if (count_ == kCapacity)
        return;
    samples_[static_cast<std::size_t>(count_++)] = {position, value, drawn};
}

std::string SweepRecord::Csv(const std::array<std::string, 3>& names,
                             const std::string& unit) const {
    std::string out = "Sample";
    for (const std::string& name : names)
        out += "," + name + " (" + unit + ")";
    out += "\r\n";
    char number[32];
    for (int i = 0; i < count_; ++i) {
        const Sample& s = samples_[static_cast<std::size_t>(i)];
        out += std::to_string(s.position);
        for (std::size_t c = 0; c < 3; ++c) {
            out += ',';
            if (!s.drawn[c])
                continue;
            const auto end = std::to_chars(number, number + sizeof number, s.value[c]).ptr;
            out.append(number, end);
        }
        out += "\r\n";
    }
    return out;
}

}  // namespace quenlor
