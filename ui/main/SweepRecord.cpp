#include "ui/main/SweepRecord.h"

#include "core/NumberFormat.h"

namespace quenlor {

void SweepRecord::Record(int position, const std::array<float, 3>& value,
                         const std::array<bool, 3>& drawn) {
    if (position < 0 || position >= kCapacity)
        return;
    // The chart advances one position a pass, so the samples kept are always
    // the run of positions that ends at the newest.
    const bool next = newest_ < 0 || position == (newest_ + 1) % kCapacity;
    count_ = next ? std::min(count_ + 1, kCapacity) : 1;
    newest_ = position;
    samples_[static_cast<std::size_t>(position)] = {++numbered_, position, value, drawn};
}

const SweepRecord::Sample& SweepRecord::operator[](int i) const {
    const int position = ((newest_ - count_ + 1 + i) % kCapacity + kCapacity) % kCapacity;
    return samples_[static_cast<std::size_t>(position)];
}

std::string SweepRecord::Csv(const std::array<std::string, 3>& names, const std::string& unit,
                             int decimals) const {
    std::string out = "Sample,Position";
    for (const std::string& name : names)
        out += "," + name + " (" + unit + ")";
    out += "\r\n";
    for (int i = 0; i < count_; ++i) {
        const Sample& s = (*this)[i];
        out += std::to_string(s.number) + ',' + std::to_string(s.position);
        for (std::size_t c = 0; c < 3; ++c) {
            out += ',';
            if (s.drawn[c])
                out += FormatFixedDecimals(s.value[c], decimals);
        }
        out += "\r\n";
    }
    return out;
}

}  // namespace quenlor
