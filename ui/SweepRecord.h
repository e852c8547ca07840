#pragma once

#include <array>
#include <string>

namespace quenlor {

// The samples of a strip chart's sweep in progress, as drawn: from the
// position where the sweep last started at the left up to the newest, each
// with its three channel values and whether each was drawn (ticked). Fixed
// storage: recording a pass allocates nothing.
class SweepRecord {
  public:
    // Positions 0 to 399: a sweep holds at most 400 samples.
    static constexpr int kCapacity = 400;

    struct Sample {
        int position = 0;
        std::array<float, 3> value{};
        std::array<bool, 3> drawn{};
    };

    void Restart() { count_ = 0; }
    void Record(int position, const std::array<float, 3>& value, const std::array<bool, 3>& drawn);

    int Count() const { return count_; }
    const Sample& operator[](int i) const { return samples_[static_cast<std::size_t>(i)]; }

    // A header line ("Sample,X (g),Y (g),Z (g)") and one line per sample: its
    // position and the three values with "." as decimal point, each as short
    // as reads back to the same single-precision number; a channel not drawn
    // at that sample is an empty field. CR LF line ends.
    std::string Csv(const std::array<std::string, 3>& names, const std::string& unit) const;

  private:
    std::array<Sample, kCapacity> samples_{};
    int count_ = 0;
};

}  // namespace quenlor
