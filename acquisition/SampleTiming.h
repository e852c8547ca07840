#pragma once

#include <cstdint>
#include <vector>

namespace quenlor {

// How a run's samples were spaced, from the monotonic times of the data-ready
// each pass followed: passes a second, and the gaps, intervals longer than
// 1.5 times the run's median interval (a sample the loop did not see, or a
// pause of the machine).
class SampleTiming {
  public:
    void Reset();
    void Add(std::int64_t readyNs);

    std::uint64_t Samples() const { return samples_; }
    // Over the run so far; 0 before its second sample.
    double PassesPerSecond() const;
    // Counted against the median of all intervals so far: O(intervals).
    std::uint64_t Gaps() const;
    double MedianIntervalNs() const;

  private:
    std::vector<std::int64_t> intervals_;
    std::int64_t firstNs_ = 0;
    std::int64_t lastNs_ = 0;
    std::uint64_t samples_ = 0;
};

}  // namespace quenlor
