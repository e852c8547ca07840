#include "core/Delay.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

#include "platform/fake/FakeClock.h"
#include "platform/fake/RecordingCursor.h"

namespace quenlor {
namespace {

// A spin that records its calls instead of burning time. SpinFunction is a
// plain function pointer, so the recorder is reached through a pointer that
// each test sets up and clears.
struct SpinLog {
    std::vector<std::pair<std::int32_t, std::int32_t>> calls;
    // When set, every spin advances this clock as a machine would that runs
    // one inner iteration in `secondsPerIteration`.
    FakeClock* clock = nullptr;
    double secondsPerIteration = 0.0;
    double trueTime = 0.0;
    double tick = 0.0;
};

SpinLog* activeLog = nullptr;

void RecordingSpin(std::int32_t steps, std::int32_t count) {
    activeLog->calls.emplace_back(steps, count);
    if (activeLog->clock != nullptr) {
        activeLog->trueTime += static_cast<double>(steps) * static_cast<double>(count) *
                               activeLog->secondsPerIteration;
        const double shown =
            activeLog->tick > 0
                ? std::floor(activeLog->trueTime / activeLog->tick) * activeLog->tick
                : activeLog->trueTime;
        activeLog->clock->now = static_cast<float>(shown);
    }
}

class DelayTest : public ::testing::Test {
  protected:
    void SetUp() override { activeLog = &log; }
    void TearDown() override { activeLog = nullptr; }

    Settings settings;
    FakeClock clock;
    RecordingCursor cursor;
    SpinLog log;
    Delay delay{settings, clock, cursor, &RecordingSpin};

    void MarkCalibrated(std::int32_t count) {
        settings.DelayCalibrated = true;
        settings.DelayCount10us = count;
    }
    std::int32_t StepsFor(float ms) {
        log.calls.clear();
        delay.DelayMs(ms);
        EXPECT_EQ(log.calls.size(), 1u);
        return log.calls.empty() ? -1 : log.calls.back().first;
    }
};

TEST_F(DelayTest, ZeroReturnsAtOnceWithoutCalibrating) {
    delay.DelayMs(0.0f);
    delay.DelayMs(-0.0f);
    EXPECT_TRUE(log.calls.empty());
    EXPECT_FALSE(settings.DelayCalibrated);
    EXPECT_EQ(clock.reads, 0u);
    EXPECT_TRUE(cursor.changes.empty());
}

TEST_F(DelayTest, StepsAreHundredthsOfAMillisecondRoundedHalfToEven) {
    MarkCalibrated(777);
    EXPECT_EQ(StepsFor(0.1f), 10);
    EXPECT_EQ(StepsFor(1.0f), 100);
    EXPECT_EQ(StepsFor(0.125f), 12);  // 12.5 -> even below
    EXPECT_EQ(StepsFor(0.375f), 38);  // 37.5 -> even above
    EXPECT_EQ(StepsFor(0.01f), 1);
    EXPECT_EQ(StepsFor(500.0f), 50000);
    EXPECT_EQ(StepsFor(32000.0f), 3200000);
    // Every step runs the calibrated count, read from the settings.
    EXPECT_EQ(log.calls.back().second, 777);
}

TEST_F(DelayTest, TooShortNegativeAndNaNWaitOneStep) {
    MarkCalibrated(5);
    EXPECT_EQ(StepsFor(0.001f), 1);
    EXPECT_EQ(StepsFor(-5.0f), 1);
    EXPECT_EQ(StepsFor(0.004f), 1);
    EXPECT_EQ(StepsFor(std::numeric_limits<float>::quiet_NaN()), 1);
}

TEST_F(DelayTest, HugeRequestIsCappedInsteadOfOverflowing) {
    MarkCalibrated(5);
    EXPECT_EQ(StepsFor(1e30f), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(StepsFor(std::numeric_limits<float>::infinity()),
              std::numeric_limits<std::int32_t>::max());
}

TEST_F(DelayTest, FirstCallCalibratesThenWaits) {
    // Readings around each trial: 500 ms took 0.5 s, 3 s took 3 s.
    clock.script = {100.0f, 100.5f, 200.0f, 203.0f};
    delay.DelayMs(1.0f);
    EXPECT_TRUE(settings.DelayCalibrated);
    EXPECT_EQ(settings.DelayCount10us, 1000);
    ASSERT_EQ(log.calls.size(), 3u);
    EXPECT_EQ(log.calls[0], std::make_pair(50000, 1000));
    EXPECT_EQ(log.calls[1], std::make_pair(300000, 1000));
    EXPECT_EQ(log.calls[2], std::make_pair(100, 1000));
    // Later calls do not calibrate again.
    delay.DelayMs(1.0f);
    EXPECT_EQ(log.calls.size(), 4u);
    EXPECT_EQ(clock.reads, 4u);
}

TEST_F(DelayTest, CalibrationScalesByTheMeasuredTimesAndShowsTheHourglass) {
    // 500 ms took 0.125 s: four times the count; then 3 s took 2.5 s.
    clock.script = {10.0f, 10.125f, 20.0f, 22.5f};
    delay.CalibrateDelay();
    ASSERT_EQ(log.calls.size(), 2u);
    EXPECT_EQ(log.calls[1], std::make_pair(300000, 4000));
    EXPECT_EQ(settings.DelayCount10us, 4800);
    EXPECT_EQ(cursor.changes, (std::vector<bool>{true, false}));
}

TEST_F(DelayTest, FastMachineRaisesTheCountBy40AndThenBy6) {
    // 2^-8 s (< 5 ms), then 1/16 s (< 0.1 s), then 0.25 s; fine trial 3 s.
    clock.script = {1.0f, 1.00390625f, 2.0f, 2.0625f, 3.0f, 3.25f, 4.0f, 7.0f};
    delay.CalibrateDelay();
    ASSERT_EQ(log.calls.size(), 4u);
    EXPECT_EQ(log.calls[0].second, 1000);
    EXPECT_EQ(log.calls[1].second, 40000);
    EXPECT_EQ(log.calls[2].second, 240000);
    EXPECT_EQ(log.calls[3], std::make_pair(300000, 480000));
    EXPECT_EQ(settings.DelayCount10us, 480000);
}

TEST_F(DelayTest, SecondCoarseTrialLongEnoughSkipsTheSixfold) {
    // Under 5 ms, then 0.25 s: x40 only.
    clock.script = {1.0f, 1.001953125f, 2.0f, 2.25f, 3.0f, 6.0f};
    delay.CalibrateDelay();
    ASSERT_EQ(log.calls.size(), 3u);
    EXPECT_EQ(log.calls[1].second, 40000);
    EXPECT_EQ(settings.DelayCount10us, 80000);
}

TEST_F(DelayTest, ComparisonsWithTheThresholdsAreStrict) {
    // Exactly 5 ms is not below 5 ms, but below 0.1 s: only the sixfold.
    clock.script = {0.0f, 0.005f, 1.0f, 1.25f, 2.0f, 5.0f};
    delay.CalibrateDelay();
    ASSERT_EQ(log.calls.size(), 3u);
    EXPECT_EQ(log.calls[1].second, 6000);

    // Exactly 0.1 s is long enough: no further trial.
    log.calls.clear();
    clock.reads = 0;
    clock.script = {0.0f, 0.1f, 1.0f, 4.0f};
    delay.CalibrateDelay();
    EXPECT_EQ(log.calls.size(), 2u);
    EXPECT_EQ(settings.DelayCount10us, 5000);
}

TEST_F(DelayTest, ResultsRoundHalfToEven) {
    // 0.5 / 8 * 1000 = 62.5 -> 62; 3 / 3 keeps it.
    clock.script = {0.0f, 8.0f, 10.0f, 13.0f};
    delay.CalibrateDelay();
    EXPECT_EQ(settings.DelayCount10us, 62);

    // Coarse 0.125 s gives 4000; fine 192 s gives 3 / 192 * 4000 = 62.5 -> 62.
    log.calls.clear();
    clock.reads = 0;
    clock.script = {0.0f, 0.125f, 1000.0f, 1192.0f};
    delay.CalibrateDelay();
    EXPECT_EQ(settings.DelayCount10us, 62);

    // 3 / 64 * 4000 = 187.5 -> 188.
    clock.reads = 0;
    clock.script = {0.0f, 0.125f, 1000.0f, 1064.0f};
    delay.CalibrateDelay();
    EXPECT_EQ(settings.DelayCount10us, 188);
}

TEST_F(DelayTest, StoppedOrBackwardClockHitsTheFloorsWithoutOverflow) {
    // A clock that never moves: x40, x6, floor 0.0005 s -> about 240 million, and the
    // fine trial's floor of 0.1 s would ask for 7.2 billion: capped.
    clock.now = 5000.0f;
    delay.CalibrateDelay();
    EXPECT_EQ(log.calls.size(), 4u);
    // The floor is the single-precision 0.0005, a little above the decimal one.
    EXPECT_EQ(log.calls[3].second, 239999989);
    EXPECT_EQ(settings.DelayCount10us, std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(cursor.changes, (std::vector<bool>{true, false}));

    // A first trial spanning midnight reads as negative: treated as too short.
    log.calls.clear();
    clock.reads = 0;
    clock.script = {86399.75f, 0.25f, 10.0f, 10.25f, 20.0f, 23.0f};
    delay.CalibrateDelay();
    EXPECT_EQ(log.calls[1].second, 40000);
    EXPECT_EQ(settings.DelayCount10us, 80000);
}

TEST_F(DelayTest, SlowTrialNeverLeavesAZeroCount) {
    // 500 ms that seemed to take an hour would round the count to 0 and turn
    // every later wait into none.
    clock.script = {0.0f, 3600.0f, 10.0f, 13.0f};
    delay.CalibrateDelay();
    EXPECT_EQ(settings.DelayCount10us, 1);
}

TEST_F(DelayTest, CalibrationConvergesOnASimulatedMachineWithACoarseClock) {
    // 10000 iterations per 10 us and a clock ticking every 1/64 s.
    log.clock = &clock;
    log.secondsPerIteration = 1e-9;
    log.tick = 1.0 / 64.0;
    log.trueTime = 1000.0;
    clock.now = 1000.0f;
    delay.CalibrateDelay();
    EXPECT_NEAR(settings.DelayCount10us, 10000, 100);

    // A machine 300 times faster goes through all three coarse trials.
    log.calls.clear();
    log.secondsPerIteration = 1e-9 / 300.0;
    delay.CalibrateDelay();
    EXPECT_EQ(log.calls.size(), 4u);
    EXPECT_NEAR(settings.DelayCount10us, 3000000, 30000);
}

}  // namespace
}  // namespace quenlor
