#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/RunningStatistics.h"

namespace quenlor {
namespace {

TEST(RunningStatistics, KnownSequenceAndReset) {
    RunningStatistics s;
    EXPECT_EQ(s.StdDev(), 0.0);
    for (const double v : {2.0, 4.0, 4.0, 4.0, 5.0, 5.0, 7.0, 9.0})
        s.Add(v);
    EXPECT_EQ(s.Count(), 8);
    EXPECT_DOUBLE_EQ(s.Mean(), 5.0);
    EXPECT_DOUBLE_EQ(s.StdDev(), std::sqrt(32.0 / 7.0));
    EXPECT_EQ(s.Min(), 2.0);
    EXPECT_EQ(s.Max(), 9.0);

    s.Reset();
    s.Add(-3.5);
    EXPECT_EQ(s.Count(), 1);
    EXPECT_EQ(s.Mean(), -3.5);
    EXPECT_EQ(s.StdDev(), 0.0);
    EXPECT_EQ(s.Min(), -3.5);
    EXPECT_EQ(s.Max(), -3.5);
}

// A million readings of a large constant with a small noise: the sum of
// squares loses the noise entirely, the running update keeps it.
TEST(RunningStatistics, LargeConstantWithSmallNoise) {
    const double base = 1e8;
    std::vector<double> noise;
    for (int i = 0; i < 1000000; ++i)
        noise.push_back(0.001 * (i % 5 - 2));  // -0.002 .. 0.002, mean 0
    RunningStatistics s;
    double sum = 0, sumSquares = 0;
    for (const double n : noise) {
        s.Add(base + n);
        sum += base + n;
        sumSquares += (base + n) * (base + n);
    }
    double refSquares = 0;
    for (const double n : noise)
        refSquares += n * n;
    const double count = static_cast<double>(noise.size());
    const double reference = std::sqrt(refSquares / (count - 1));
    const double naive = std::sqrt(std::abs(sumSquares - sum * sum / count) / (count - 1));
    ASSERT_GT(std::abs(naive - reference), 0.5 * reference);  // the data does defeat the naive way

    EXPECT_NEAR(s.StdDev(), reference, 1e-3 * reference);
    EXPECT_NEAR(s.Mean(), base, 1e-6);
    EXPECT_NEAR(s.Min(), base - 0.002, 1e-7);
    EXPECT_NEAR(s.Max(), base + 0.002, 1e-7);
}

}  // namespace
}  // namespace quenlor
