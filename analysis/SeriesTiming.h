#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "analysis/SeriesFile.h"

namespace quenlor {

// How evenly a time column is spaced: intervals over 1.5 times the median
// (or not forward at all) are gaps, and the analysis keeps the longest stretch
// between them.
struct TimeSpacing {
    double rate = 0.0;  // one over the median interval
    std::int64_t gaps = 0;
    double largestGap = 0.0;  // seconds
    std::int64_t begin = 0;   // the longest even stretch of rows
    std::int64_t end = 0;
};
// Nullopt for fewer than two times or a median interval that is not positive.
std::optional<TimeSpacing> SpacingOf(const std::vector<double>& times);

// A datalog file's rate: its samples over the seconds from Begin to End
// (across midnight when End is smaller).
std::optional<double> DatalogRate(const SeriesFile& file);

// Rows equal in every column to the row before.
std::int64_t RepeatedRows(const SeriesFile& file);

// Keeps rows [begin, end) only.
void KeepRows(SeriesFile& file, std::int64_t begin, std::int64_t end);

}  // namespace quenlor
