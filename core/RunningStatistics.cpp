#include "core/RunningStatistics.h"

#include <algorithm>
#include <cmath>

namespace quenlor {

void RunningStatistics::Add(double value) {
    ++count_;
    if (count_ == 1) {
        mean_ = min_ = max_ = value;
        m2_ = 0.0;
        return;
    }
    const double delta = value - mean_;
    mean_ += delta / static_cast<double>(count_);
    m2_ += delta * (value - mean_);
    min_ = std::min(min_, value);
    max_ = std::max(max_, value);
}

double RunningStatistics::StdDev() const {
    return count_ < 2 ? 0.0 : std::sqrt(m2_ / static_cast<double>(count_ - 1));
}

}  // namespace quenlor
