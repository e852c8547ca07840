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

// Stands in for the busy loop of a machine: records each call and moves the
// clocks on by what the call took, either scripted (seconds per call) or
// `secondsPerIteration` per inner iteration. The monotonic clock runs true;
// the wall clock ticks every `tick` seconds, wraps at midnight and may jump.
struct SimulatedSpin {
    std::vector<Spin> calls;
    std::vector<double> durations;
    FakeClock* clock = nullptr;
    double secondsPerIteration = 0.0;
    double tick = 1.0 / 64.0;
    double trueTime = 0.0;
    double wallStart = 1000.0;
    double jumpAt = -1.0;  // true time of a change of the clock, if any
    double jump = 0.0;

    void operator()(std::int32_t steps, std::int32_t count) {
        calls.emplace_back(steps, count);
        trueTime += calls.size() <= durations.size()
                        ? durations[calls.size() - 1]
                        : double(steps) * double(count) * secondsPerIteration;
        clock->monotonic = std::llround(trueTime * 1e9);
        double wall = wallStart + trueTime + (jumpAt >= 0.0 && trueTime >= jumpAt ? jump : 0.0);
        wall = std::fmod(wall, 86400.0);
        clock->now =
            static_cast<float>(std::floor((wall < 0 ? wall + 86400.0 : wall) / tick) * tick);
    }
};

class DelayTest : public ::testing::Test {
  protected:
    void SetUp() override { spin.clock = &clock; }

    std::int32_t StepsFor(float ms) {
        settings.DelayCalibrated = true;
        spin.calls.clear();
        counted.DelayMs(ms);
        return spin.calls.size() == 1 ? spin.calls[0].first : -1;
    }
    // Calibrates with trials that take the given seconds; returns the count
    // each trial ran with.
    std::vector<std::int32_t> Calibrate(std::vector<double> durations) {
        spin.durations = std::move(durations);
        spin.calls.clear();
        counted.CalibrateDelay();
        std::vector<std::int32_t> counts;
        for (const Spin& c : spin.calls)
            counts.push_back(c.second);
        return counts;
    }
    // Seconds a wait really took on the simulated machine.
    double Lasted(Delay& delay, float ms) {
        const double start = spin.trueTime;
        delay.DelayMs(ms);
        return spin.trueTime - start;
    }

    Settings settings;
    FakeClock clock;
    RecordingCursor cursor;
    SimulatedSpin spin;
    Delay counted{settings, clock, cursor, std::ref(spin)};
    Delay deadline{settings, clock, cursor, std::ref(spin), DelayWait::UntilDeadline};
};

TEST_F(DelayTest, ZeroReturnsAtOnceWithoutCalibrating) {
    for (Delay* delay : {&counted, &deadline}) {
        delay->DelayMs(0.0f);
        delay->DelayMs(-0.0f);
    }
    EXPECT_TRUE(spin.calls.empty());
    EXPECT_FALSE(settings.DelayCalibrated);
    EXPECT_EQ(clock.reads + clock.monotonicReads, 0u);
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

TEST_F(DelayTest, CountedFirstCallCalibratesThenWaitsWithTheHourglassMeanwhile) {
    // 500 ms took 0.125 s: four times the count; then 3 s took 2.5 s.
    spin.durations = {0.125, 2.5};
    counted.DelayMs(1.0f);
    EXPECT_TRUE(settings.DelayCalibrated);
    EXPECT_EQ(settings.DelayCount10us, 4800);
    EXPECT_EQ(spin.calls, (std::vector<Spin>{{50000, 1000}, {300000, 4000}, {100, 4800}}));
    EXPECT_EQ(cursor.changes, (std::vector<bool>{true, false}));
    counted.DelayMs(1.0f);
    EXPECT_EQ(spin.calls.size(), 4u);
}

TEST_F(DelayTest, FastMachineRaisesTheCountBy40AndThenBy6) {
    EXPECT_EQ(Calibrate({0.00390625, 0.0625, 0.25, 3}),
              (std::vector<std::int32_t>{1000, 40000, 240000, 480000}));
    EXPECT_EQ(settings.DelayCount10us, 480000);
    // Under 5 ms, then 0.25 s: the sixfold is skipped.
    EXPECT_EQ(Calibrate({0.001953125, 0.25, 3}), (std::vector<std::int32_t>{1000, 40000, 80000}));
    // Comparisons are strict: exactly 5 ms is not below 5 ms, but is below 0.1 s,
    // and exactly 0.1 s is long enough.
    EXPECT_EQ(Calibrate({0.005, 0.25, 3}), (std::vector<std::int32_t>{1000, 6000, 12000}));
    EXPECT_EQ(Calibrate({0.1, 3}).size(), 2u);
}

TEST_F(DelayTest, CountsRoundHalfToEvenAndStayInRange) {
    // 0.5 / 8 * 1000 = 62.5 -> 62, kept by an exact 3 s.
    Calibrate({8, 3});
    EXPECT_EQ(settings.DelayCount10us, 62);
    // 4000 after the coarse trial; 3 / 64 * 4000 = 187.5 -> 188.
    Calibrate({0.125, 64});
    EXPECT_EQ(settings.DelayCount10us, 188);
    // Trials that take no time: x40, x6, the 0.0005 s floor, then the 0.1 s
    // floor would ask for 7.2 billion: capped.
    EXPECT_EQ(Calibrate({0, 0, 0, 0}).back(), 240000000);
    EXPECT_EQ(settings.DelayCount10us, kMaxCount);
    // 500 ms that lasted an hour would round the count to 0 and make every
    // later counted wait none.
    Calibrate({3600, 3});
    EXPECT_EQ(settings.DelayCount10us, 1);
}

TEST_F(DelayTest, CalibrationAcrossMidnightOrAClockChangeMeasuresTheLoop) {
    // 10000 iterations per 10 us. Midnight during the first trial; then an
    // hour back during the fine trial. The wall clock moves, the loop does not.
    spin.secondsPerIteration = 1e-9;
    spin.wallStart = 86399.99;
    Calibrate({});
    EXPECT_NEAR(settings.DelayCount10us, 10000, 100);
    EXPECT_LT(spin.trueTime, 5.0);  // not minutes of ever longer trials

    spin.wallStart = 1000.0;
    spin.jumpAt = spin.trueTime + 1.0;
    spin.jump = -3600.0;
    Calibrate({});
    EXPECT_NEAR(settings.DelayCount10us, 10000, 100);
    // So a pause lasts what it should, not thirty times that.
    EXPECT_NEAR(Lasted(counted, 0.1f), 1e-4, 1e-6);
}

TEST_F(DelayTest, DeadlineWaitsLastAsAskedWhateverTheSpeedSinceCalibration) {
    spin.secondsPerIteration = 1e-9;
    Calibrate({});
    ASSERT_NEAR(settings.DelayCount10us, 10000, 100);
    // The machine gets 7 % faster, then 20 % slower, than it was calibrated.
    for (const double speed : {0.93e-9, 1.2e-9}) {
        spin.secondsPerIteration = speed;
        for (const float ms : {0.1f, 1.0f, 50.0f}) {
            const double lasted = Lasted(deadline, ms);
            EXPECT_GE(lasted, ms / 1000.0 - 1e-9) << ms << " ms at " << speed;
            EXPECT_LE(lasted, ms / 1000.0 + 2.5e-6) << ms << " ms at " << speed;
        }
    }
    // Never calibrated: no four-second calibration first, and still as asked
    // (the count then only sets how often the clock is read).
    settings = Settings{};
    spin.calls.clear();
    const double lasted = Lasted(deadline, 0.1f);
    EXPECT_FALSE(settings.DelayCalibrated);
    EXPECT_GE(lasted, 1e-4 - 1e-9);
    EXPECT_LE(lasted, 1e-4 + 2.5e-6);
    for (const Spin& call : spin.calls)
        EXPECT_LE(call.second, 1000);
}

}  // namespace
}  // namespace quenlor
