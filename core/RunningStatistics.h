#pragma once

#include <cstdint>

namespace quenlor {

// Mean, standard deviation, minimum and maximum of a stream of values, kept
// in constant space. Welford's update keeps the deviation exact for values
// that are large beside their spread, where a sum of squares cancels away.
class RunningStatistics {
  public:
    void Add(double value);
    void Reset() { *this = RunningStatistics(); }

    std::int64_t Count() const { return count_; }
    // 0 while empty.
    double Mean() const { return mean_; }
    // The sample standard deviation (divided by n - 1); 0 below two values.
    double StdDev() const;
    double Min() const { return min_; }
    double Max() const { return max_; }

  private:
    std::int64_t count_ = 0;
    double mean_ = 0.0;
    double m2_ = 0.0;  // sum of squared distances from the running mean
    double min_ = 0.0;
    double max_ = 0.0;
};

}  // namespace quenlor
