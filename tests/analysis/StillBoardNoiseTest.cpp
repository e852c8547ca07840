#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "analysis/ChannelAnalysis.h"
#include "sim/SimSensor.h"
#include "sim/StillBoard.h"

namespace quenlor {
namespace {

// The still board's documented noise comes back out of the analysis: two
// hours of XACCL_OUT at 400 samples a second of simulated time (no waiting),
// long enough for the flat minimum to have points on both sides.
TEST(StillBoardNoise, TheAnalysisRecoversTheBoardsWhiteNoiseAndBiasInstability) {
    constexpr double kRate = 400.0;
    constexpr std::int64_t kSamples = 7200 * 400;
    double t = 0.0;
    SimSensor sensor(5, [&t] { return t; });
    sensor.holdStill({0.0, 0.0, 1.0});
    ChannelAnalysis x(kRate, kSamples);
    const auto read = static_cast<std::uint16_t>((SimSensor::kXAcclOut & 0x7F) << 8);
    for (std::int64_t i = 0; i < kSamples; ++i) {
        t += 1.0 / kRate;
        sensor.transfer(read);
        x.Append(static_cast<std::int16_t>(sensor.peekWord(SimSensor::kXAcclOut)) * 0.000061);
    }
    const NoiseTerms terms = x.Summary().terms;
    // The -1/2 line at 1 s is the two-sided white density.
    ASSERT_TRUE(terms.white.observed);
    EXPECT_NEAR(terms.white.value / (StillBoard::kWhiteDensity / std::sqrt(2.0)), 1.0, 0.05);
    // The three Gauss-Markov processes' flat minimum: about 9.4 ug
    // (docs/zeroing.md).
    ASSERT_TRUE(terms.biasInstability.observed);
    EXPECT_NEAR(terms.biasInstability.value / 9.4e-6, 1.0, 0.3) << terms.biasInstability.value;
}

}  // namespace
}  // namespace quenlor
