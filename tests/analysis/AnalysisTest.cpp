#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include "analysis/ChannelAnalysis.h"
#include "analysis/NoiseRun.h"

namespace quenlor {
namespace {

TEST(AllanDeviation, EqualsTheValuesWorkedOutByHandWhetherFedAtOnceOrOneByOne) {
    const std::vector<double> y = {1, 3, 2, 5, 4, 4, 0, 2};
    // m = 1: differences 2 -1 3 -1 0 -4 2, squares 35 over 2 * 7.
    // m = 2: pair means 2 2.5 3.5 4.5 4 2 1, differences two apart
    //        1.5 2 0.5 -2.5 -3, squares 21.75 over 2 * 5.
    AllanAccumulator bulk;
    AllanAccumulator single;
    bulk.Append(y);
    for (double v : y)
        single.Append(v + 1000.0);
    for (const auto& curve : {bulk.Octaves(2.0), single.Octaves(2.0), bulk.EveryTau(2.0)}) {
        ASSERT_EQ(curve.size(), 2u);
        EXPECT_DOUBLE_EQ(curve[0].tau, 0.5);
        EXPECT_NEAR(curve[0].adev, std::sqrt(2.5), 1e-12);
        EXPECT_DOUBLE_EQ(curve[1].tau, 1.0);
        EXPECT_NEAR(curve[1].adev, std::sqrt(2.175), 1e-12);
        EXPECT_LT(curve[1].lower, curve[1].adev);
        EXPECT_GT(curve[1].upper, curve[1].adev);
    }
}

TEST(AllanDeviation, WhiteNoiseFallsAtSlopeMinusOneHalfAndGivesItsDensityBack) {
    const double rate = 100.0;
    const double density = 40e-6;  // unit / sqrt(Hz), one-sided
    std::mt19937_64 random(7);
    std::normal_distribution<double> noise(0.25, density * std::sqrt(rate / 2.0));
    const std::int64_t n = 1'000'000;
    ChannelAnalysis channel(rate, n);
    std::vector<double> samples(static_cast<std::size_t>(n));
    for (double& s : samples)
        s = noise(random);
    channel.Append(samples);
    const ChannelSummary s = channel.Summary();

    // The slope of the points that hold at least 100 degrees of freedom.
    double sx = 0, sy = 0, sxx = 0, sxy = 0, count = 0;
    for (const AllanPoint& p : s.allan) {
        if (p.edf < 100)
            continue;
        const double x = std::log(p.tau);
        const double yy = std::log(p.adev);
        sx += x, sy += yy, sxx += x * x, sxy += x * yy, count += 1;
    }
    ASSERT_GE(count, 8);
    EXPECT_NEAR((count * sxy - sx * sy) / (count * sxx - sx * sx), -0.5, 0.02);

    // A build without the transform has no spectrum.
    EXPECT_EQ(s.density.observed, WelchAccumulator::Available());
    if (s.density.observed) {
        EXPECT_NEAR(s.density.value / density, 1.0, 0.05);
    }
    // The -1/2 line at 1 s is the two-sided density.
    ASSERT_TRUE(s.terms.white.observed);
    EXPECT_NEAR(s.terms.white.value * std::sqrt(2.0) / density, 1.0, 0.05);
    EXPECT_FALSE(s.terms.biasInstability.observed);
    EXPECT_FALSE(s.terms.randomWalk.observed);
    EXPECT_NEAR(s.mean, 0.25, 1e-6);
}

TEST(AllanDeviation, ARandomWalkOnWhiteNoiseShowsBothLines) {
    const double rate = 50.0;
    const double white = 1e-3;  // unit * sqrt(s) on the -1/2 line
    const double walk = 2e-4;   // unit / sqrt(s) on the +1/2 line
    std::mt19937_64 random(11);
    std::normal_distribution<double> unit(0.0, 1.0);
    const std::int64_t n = 1'000'000;
    ChannelAnalysis channel(rate, n);
    double level = 0.0;
    for (std::int64_t i = 0; i < n; ++i) {
        level += walk / std::sqrt(rate) * unit(random);
        channel.Append(level + white * std::sqrt(rate) * unit(random));
    }
    const NoiseTerms terms = channel.Summary().terms;
    ASSERT_TRUE(terms.white.observed);
    EXPECT_NEAR(terms.white.value / white, 1.0, 0.05);
    ASSERT_TRUE(terms.randomWalk.observed);
    EXPECT_NEAR(terms.randomWalk.value / walk, 1.0, 0.3);
}

TEST(Spectrum, ASinePeaksAtItsFrequencyAndKeepsItsEnergy) {
    if (!WelchAccumulator::Available())
        GTEST_SKIP() << "built without the transform";
    const double rate = 1000.0;
    const double amplitude = 3.0;
    const double frequency = 123.4;
    const std::int64_t n = 200'000;
    ChannelAnalysis channel(rate, n);
    for (std::int64_t i = 0; i < n; ++i)
        channel.Append(amplitude *
                       std::sin(2 * std::numbers::pi * frequency * static_cast<double>(i) / rate));
    const Spectrum s = channel.Summary().spectrum;
    ASSERT_FALSE(s.density.empty());
    std::size_t peak = 0;
    double energy = 0.0;
    for (std::size_t k = 0; k < s.density.size(); ++k) {
        energy += s.density[k] * s.binWidth;
        if (s.density[k] > s.density[peak])
            peak = k;
    }
    EXPECT_NEAR(static_cast<double>(peak) * s.binWidth, frequency, s.binWidth);
    EXPECT_NEAR(energy / (amplitude * amplitude / 2.0), 1.0, 0.01);
}

TEST(TemperatureSlope, IsToldOnlyWhenTheTemperatureSpannedADegree) {
    std::mt19937_64 random(3);
    std::normal_distribution<double> noise(0.0, 1e-3);
    ChannelAnalysis narrow(10.0, 1000);
    ChannelAnalysis wide(10.0, 1000);
    for (int i = 0; i < 1000; ++i) {
        const double t = 25.0 + 0.0009 * i;
        narrow.Append(0.002 * t + noise(random), t);
        wide.Append(0.002 * (25.0 + 0.005 * i) + noise(random), 25.0 + 0.005 * i);
    }
    EXPECT_FALSE(narrow.Summary().temperatureSlope);
    const auto slope = wide.Summary().temperatureSlope;
    ASSERT_TRUE(slope);
    EXPECT_NEAR(slope->value, 0.002, 4 * slope->standardError);
    // The noise over the root of the temperatures' sum of squares, 2083.
    EXPECT_NEAR(slope->standardError / (1e-3 / std::sqrt(2083.3)), 1.0, 0.1);
}

TEST(NoiseRun, MissedSamplesNeitherStretchTheCurveNorHideTheGaps) {
    // A busy reader misses bursts of data-ready: one in six samples here,
    // which taken as evenly spaced would put the white noise 9 % high.
    const double rate = 400.0;
    const double density = 25e-6;
    std::mt19937_64 random(5);
    std::normal_distribution<double> noise(0.0, density * std::sqrt(rate / 2.0));
    std::uniform_real_distribution<double> jitter(-0.2 / rate, 0.2 / rate);
    std::bernoulli_distribution burst(1.0 / 2000.0);
    std::uniform_int_distribution<int> missed(1, 800);
    NoiseRun run({"XACCL_OUT"}, 3000.0, false);
    std::int64_t gaps = 0;
    std::int64_t kept = 0;
    for (std::int64_t i = 0; i < 1'200'000; ++i) {
        const float value = static_cast<float>(1.0 + noise(random));
        // At first it sees only every other sample: the period's multiple
        // outnumbers the period itself.
        if (i > 0 && i < 300) {
            ++i;
            ++gaps;
        } else if (i > 0 && burst(random)) {
            i += missed(random);
            ++gaps;
        }
        run.Add(static_cast<double>(i) / rate + jitter(random), std::span(&value, 1));
        ++kept;
    }
    ASSERT_GT(gaps, 400);
    const auto rows = run.Summaries();
    ASSERT_EQ(rows.size(), 1u);
    const ChannelSummary& s = rows[0].summary;
    EXPECT_EQ(run.Gaps(), gaps);
    EXPECT_EQ(s.samples, kept);
    EXPECT_NEAR(s.rate / rate, 1.0, 1e-3);
    ASSERT_TRUE(s.terms.white.observed);
    EXPECT_NEAR(s.terms.white.value * std::sqrt(2.0) / density, 1.0, 0.05);
    EXPECT_EQ(s.density.observed, WelchAccumulator::Available());
    if (s.density.observed) {
        EXPECT_NEAR(s.density.value / density, 1.0, 0.05);
    }
}

}  // namespace
}  // namespace quenlor
