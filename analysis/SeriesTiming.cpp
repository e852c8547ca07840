#include "analysis/SeriesTiming.h"

#include <algorithm>

namespace quenlor {

namespace {

constexpr double kGapFactor = 1.5;
constexpr double kSecondsPerDay = 86400.0;

}  // namespace

std::optional<TimeSpacing> SpacingOf(const std::vector<double>& times) {
    if (times.size() < 2)
        return std::nullopt;
    std::vector<double> intervals(times.size() - 1);
    for (std::size_t i = 0; i + 1 < times.size(); ++i)
        intervals[i] = times[i + 1] - times[i];
    std::vector<double> sorted = intervals;
    const auto middle = sorted.begin() + static_cast<long>(sorted.size() / 2);
    std::nth_element(sorted.begin(), middle, sorted.end());
    const double median = *middle;
    if (!(median > 0.0))
        return std::nullopt;
    TimeSpacing s;
    s.rate = 1.0 / median;
    std::int64_t start = 0;
    auto closeStretch = [&](std::int64_t end) {
        if (end - start > s.end - s.begin) {
            s.begin = start;
            s.end = end;
        }
    };
    for (std::size_t i = 0; i < intervals.size(); ++i) {
        if (intervals[i] > 0.0 && intervals[i] <= kGapFactor * median)
            continue;
        ++s.gaps;
        s.largestGap = std::max(s.largestGap, intervals[i]);
        closeStretch(static_cast<std::int64_t>(i) + 1);
        start = static_cast<std::int64_t>(i) + 1;
    }
    closeStretch(static_cast<std::int64_t>(times.size()));
    return s;
}

std::optional<double> DatalogRate(const SeriesFile& file) {
    if (!file.beginSeconds || !file.endSeconds)
        return std::nullopt;
    double elapsed = *file.endSeconds - *file.beginSeconds;
    if (elapsed < 0.0)
        elapsed += kSecondsPerDay;
    if (!(elapsed > 0.0))
        return std::nullopt;
    return static_cast<double>(file.Rows()) / elapsed;
}

std::int64_t RepeatedRows(const SeriesFile& file) {
    std::int64_t repeats = 0;
    for (std::int64_t r = 1; r < file.Rows(); ++r) {
        const auto i = static_cast<std::size_t>(r);
        bool same = true;
        for (const auto& column : file.columns)
            same = same && column[i] == column[i - 1];
        repeats += same ? 1 : 0;
    }
    return repeats;
}

void KeepRows(SeriesFile& file, std::int64_t begin, std::int64_t end) {
    auto keep = [&](std::vector<double>& v) {
        if (v.empty())
            return;
        v.erase(v.begin() + end, v.end());
        v.erase(v.begin(), v.begin() + begin);
    };
    for (auto& column : file.columns)
        keep(column);
    keep(file.times);
}

}  // namespace quenlor
