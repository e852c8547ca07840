#include "core/Delay.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <utility>
#include <vector>

#include "platform/fake/FakeClock.h"
#include "platform/fake/RecordingCursor.h"

namespace quenlor {
namespace {

using Spin = std::pair<std::int32_t, std::int32_t>;  // steps, count per 10 us
constexpr std::int32_t kMaxCount = std::numeric_limits<std::int32_t>::max();

// Stands in for the busy loop: records each call and, when a clock is given,
// moves it on as a machine taking `secondsPerIteration` per inner iteration
// would, as seen through a clock that ticks every `tick` seconds.
struct SimulatedSpin {
    std::vector<Spin> calls;
    FakeClock* clock = nullptr;
    double secondsPerIteration = 0.0;
    double tick = 0.0;
    double trueTime = 0.0;

    void operator()(std::int32_t steps, std::int32_t count) {
        calls.emplace_back(steps, count);
        if (clock == nullptr)
            return;
        trueTime += double(steps) * double(count) * secondsPerIteration;
        clock->now = static_cast<float>(std::floor(trueTime / tick) * tick);
    }
};

class DelayTest : public ::testing::Test {
  protected:
    std::int32_t StepsFor(float ms) {
        settings.DelayCalibrated = true;
        spin.calls.clear();
        delay.DelayMs(ms);
        return spin.calls.size() == 1 ? spin.calls[0].first : -1;
    }
    // Calibrates against clock readings taken around each trial; returns the
    // count each trial ran with.
    std::vector<std::int32_t> Calibrate(std::vector<float> readings) {
        clock.script = std::move(readings);
        clock.reads = 0;
        spin.calls.clear();
        delay.CalibrateDelay();
        std::vector<std::int32_t> counts;
        for (const Spin& c : spin.calls)
            counts.push_back(c.second);
        return counts;
    }

    Settings settings;
    FakeClock clock;
    RecordingCursor cursor;
    SimulatedSpin spin;
    Delay delay{settings, clock, cursor, std::ref(spin)};
};

TEST_F(DelayTest, ZeroReturnsAtOnceWithoutCalibrating) {
    delay.DelayMs(0.0f);
    delay.DelayMs(-0.0f);
    EXPECT_TRUE(spin.calls.empty());
    EXPECT_FALSE(settings.DelayCalibrated);
    EXPECT_EQ(clock.reads, 0u);
}

TEST_F(DelayTest, StepsAreHundredthsOfAMillisecondRoundedHalfToEven) {
    EXPECT_EQ(StepsFor(0.1f), 10);
    EXPECT_EQ(StepsFor(1.0f), 100);
    EXPECT_EQ(StepsFor(0.125f), 12);  // 12.5 goes down to even
    EXPECT_EQ(StepsFor(0.375f), 38);  // 37.5 goes up to even
    EXPECT_EQ(StepsFor(32000.0f), 3200000);
    // Too short, negative and NaN all wait one step; huge requests are capped.
    EXPECT_EQ(StepsFor(0.001f), 1);
    EXPECT_EQ(StepsFor(-5.0f), 1);
    EXPECT_EQ(StepsFor(std::numeric_limits<float>::quiet_NaN()), 1);
    EXPECT_EQ(StepsFor(std::numeric_limits<float>::infinity()), kMaxCount);
    // Every step runs the count held in the settings.
    settings.DelayCount10us = 777;
    StepsFor(1.0f);
    EXPECT_EQ(spin.calls.back().second, 777);
}

TEST_F(DelayTest, FirstCallCalibratesThenWaitsWithTheHourglassMeanwhile) {
    // 500 ms took 0.125 s: four times the count; then 3 s took 2.5 s.
    clock.script = {10.0f, 10.125f, 20.0f, 22.5f};
    delay.DelayMs(1.0f);
    EXPECT_TRUE(settings.DelayCalibrated);
    EXPECT_EQ(settings.DelayCount10us, 4800);
    EXPECT_EQ(spin.calls, (std::vector<Spin>{{50000, 1000}, {300000, 4000}, {100, 4800}}));
    EXPECT_EQ(cursor.changes, (std::vector<bool>{true, false}));
    delay.DelayMs(1.0f);
    EXPECT_EQ(spin.calls.size(), 4u);
    EXPECT_EQ(clock.reads, 4u);
}

TEST_F(DelayTest, FastMachineRaisesTheCountBy40AndThenBy6) {
    // 2^-8 s (under 5 ms), 1/16 s (under 0.1 s), 0.25 s; then 3 s.
    EXPECT_EQ(Calibrate({1, 1.00390625f, 2, 2.0625f, 3, 3.25f, 4, 7}),
              (std::vector<std::int32_t>{1000, 40000, 240000, 480000}));
    EXPECT_EQ(settings.DelayCount10us, 480000);
    // Under 5 ms, then 0.25 s: the sixfold is skipped.
    EXPECT_EQ(Calibrate({1, 1.001953125f, 2, 2.25f, 3, 6}),
              (std::vector<std::int32_t>{1000, 40000, 80000}));
}

TEST_F(DelayTest, ThresholdComparisonsAreStrict) {
    // Exactly 5 ms is not below 5 ms, but is below 0.1 s.
    EXPECT_EQ(Calibrate({0, 0.005f, 1, 1.25f, 2, 5}),
              (std::vector<std::int32_t>{1000, 6000, 12000}));
    // Exactly 0.1 s is long enough.
    EXPECT_EQ(Calibrate({0, 0.1f, 1, 4}).size(), 2u);
}

TEST_F(DelayTest, CountsRoundHalfToEven) {
    // 0.5 / 8 * 1000 = 62.5 -> 62, kept by an exact 3 s.
    Calibrate({0, 8, 10, 13});
    EXPECT_EQ(settings.DelayCount10us, 62);
    // 4000 after the coarse trial; 3 / 64 * 4000 = 187.5 -> 188.
    Calibrate({0, 0.125f, 1000, 1064});
    EXPECT_EQ(settings.DelayCount10us, 188);
}

TEST_F(DelayTest, ClockExtremesHitTheFloorsWithoutOverflowOrZero) {
    // A stopped clock: x40, x6, the 0.0005 s floor (single precision, so a
    // little under 240 million), then the 0.1 s floor would ask for 7.2
    // billion: capped.
    EXPECT_EQ(Calibrate({5000}).back(), 239999989);
    EXPECT_EQ(settings.DelayCount10us, kMaxCount);
    // A first trial across midnight reads negative: too short.
    EXPECT_EQ(Calibrate({86399.75f, 0.25f, 10, 10.25f, 20, 23}),
              (std::vector<std::int32_t>{1000, 40000, 80000}));
    // 500 ms that seemed to last an hour would round the count to 0 and make
    // every later wait none.
    Calibrate({0, 3600, 10, 13});
    EXPECT_EQ(settings.DelayCount10us, 1);
}

TEST_F(DelayTest, ConvergesOnSimulatedMachinesWithACoarseClock) {
    spin.clock = &clock;
    spin.tick = 1.0 / 64.0;
    spin.trueTime = 1000.0;
    clock.now = 1000.0f;
    // 10000 iterations per 10 us: one coarse trial at the sixfold.
    spin.secondsPerIteration = 1e-9;
    EXPECT_EQ(Calibrate({}).size(), 3u);
    EXPECT_NEAR(settings.DelayCount10us, 10000, 100);
    // 300 times faster: all three coarse trials.
    spin.secondsPerIteration = 1e-9 / 300.0;
    EXPECT_EQ(Calibrate({}).size(), 4u);
    EXPECT_NEAR(settings.DelayCount10us, 3000000, 30000);
}

}  // namespace
}  // namespace quenlor
