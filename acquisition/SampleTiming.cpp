#include "acquisition/SampleTiming.h"

#include <algorithm>

namespace quenlor {

void SampleTiming::Reset() {
    intervals_.clear();
    samples_ = 0;
}

void SampleTiming::Add(std::int64_t readyNs) {
    if (samples_ == 0)
        firstNs_ = readyNs;
    else
        intervals_.push_back(readyNs - lastNs_);
    lastNs_ = readyNs;
    ++samples_;
}

double SampleTiming::PassesPerSecond() const {
    if (samples_ < 2 || lastNs_ <= firstNs_)
        return 0.0;
    return static_cast<double>(samples_ - 1) * 1e9 / static_cast<double>(lastNs_ - firstNs_);
}

double SampleTiming::MedianIntervalNs() const {
    if (intervals_.empty())
        return 0.0;
    std::vector<std::int64_t> sorted = intervals_;
    const auto middle = sorted.begin() + static_cast<std::ptrdiff_t>(sorted.size() / 2);
    std::nth_element(sorted.begin(), middle, sorted.end());
    return static_cast<double>(*middle);
}

std::uint64_t SampleTiming::Gaps() const {
    const double limit = 1.5 * MedianIntervalNs();
    return static_cast<std::uint64_t>(std::count_if(
        intervals_.begin(), intervals_.end(),
        [limit](std::int64_t interval) { return static_cast<double>(interval) > limit; }));
}

}  // namespace quenlor
