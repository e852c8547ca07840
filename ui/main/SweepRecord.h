#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace quenlor {

// The samples a strip chart shows: one per position of its width, the sweep
// in progress and what is left of the previous one, each with its three
// channel values and whether each was drawn (ticked). Fixed storage:
// recording a pass allocates nothing.
class SweepRecord {
  public:
    // Positions 0 to 399: the chart shows at most 400 samples.
    static constexpr int kCapacity = 400;

    struct Sample {
        std::int64_t number = 0;  // 1 for the chart's first sample, counting on
        int position = 0;
        std::array<float, 3> value{};
        std::array<bool, 3> drawn{};
    };

    // Keeps the sample drawn at `position`, in place of the one drawn there a sweep ago.
    void Record(int position, const std::array<float, 3>& value, const std::array<bool, 3>& drawn);

    // How many samples are on the chart.
    int Count() const { return count_; }
    // The i-th on the chart in time order, oldest first.
    const Sample& operator[](int i) const;

    // A header line ("Sample,Position,X (g),Y (g),Z (g)") and one line per
    // sample in time order: its number, its position and the three values
    // with "." as decimal point and `decimals` decimals; a channel not drawn
    // at that sample is an empty field. CR LF line ends.
    std::string Csv(const std::array<std::string, 3>& names, const std::string& unit,
                    int decimals) const;

  private:
    std::array<Sample, kCapacity> samples_{};
    int count_ = 0;
    int newest_ = -1;
    std::int64_t numbered_ = 0;
};

}  // namespace quenlor
