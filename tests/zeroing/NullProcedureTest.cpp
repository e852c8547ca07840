#include "zeroing/NullProcedure.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/fake/BorrowedBackends.h"
#include "platform/fake/FakeProcessRunner.h"
#include "platform/fake/FakeRegistry.h"
#include "platform/fake/FakeSystemInfo.h"
#include "platform/fake/FixedAppDirectory.h"
#include "platform/fake/RecordingCursor.h"
#include "platform/fake/RecordingMessageBoxes.h"
#include "sim/SimAdapterCard.h"
#include "sim/SimParallelBoard.h"
#include "sim/SimSensor.h"
#include "sim/StillBoard.h"
#include "snapshot/SnapshotCompare.h"
#include "stack/SensorStack.h"

namespace quenlor {
namespace {

// Simulated seconds: each bus frame and each pause of the delay moves them on,
// and the procedure's clock reads them.
class SimTime : public Clock {
  public:
    double t = 0.0;
    float secondsSinceMidnight() override { return static_cast<float>(t); }
    std::int64_t monotonicNanoseconds() override { return static_cast<std::int64_t>(t * 1e9); }
    LocalDateTime localDateTime() override { return {2026, 12, 9, 0, 0, 0}; }
};

// The whole stack over a simulated USB card and sensor on simulated time.
class NullProcedureTest : public ::testing::Test {
  protected:
    NullProcedureTest() {
        settings.DelayCalibrated = true;
        settings.DelayCount10us = 1;
        card.placeCard(0);
        table.BuildRegisterTable();
        usb.FindUsbBuffers();
        settings.Interface = InterfaceUsb;
    }

    std::array<std::uint16_t, 3> Nulls() {
        return {sensor.peekWord(SimSensor::kXAcclNull), sensor.peekWord(0x14),
                sensor.peekWord(0x16)};
    }

    SimTime time;
    RecordingCursor cursor;
    RecordingMessageBoxes messages;
    FixedAppDirectory appDir{"."};
    SimSensor sensor{21, [this] { return time.t += 5e-6; }};
    SimAdapterCard card{sensor};
    SimParallelBoard board{sensor};
    FakeRegistry registry;
    FakeProcessRunner processes;
    FakeSystemInfo systemInfo;
    BorrowedBackends backends{card, board, board, registry, processes, systemInfo};
    SensorStack stack{backends,
                      {messages, time, cursor, appDir,
                       [this](std::int32_t steps, std::int32_t) { time.t += steps * 1e-5; }}};
    Settings& settings = stack.settings();
    RegisterTable& table = stack.registerTable();
    EzUsbAccess& usb = stack.usb();
    NullProcedure procedure{stack.registers(), table, time};
};

TEST_F(NullProcedureTest, ATiltedStillBoardIsZeroedWithinThreeStandardErrors) {
    // +X up, tipped by 2 degrees about Y; the reference says +X up, level.
    const double tip = 2.0 * 3.14159265358979 / 180.0;
    sensor.holdStill({std::cos(tip), 0.0, std::sin(tip)});
    const NullResult r = procedure.Run({*ReferenceFor("+x"), 2.0});
    ASSERT_EQ(r.outcome, NullOutcome::Zeroed) << r.message;
    EXPECT_FALSE(r.oppositeSign);
    const auto offsets = StillBoard::startOffsets(sensor.peekWord(SimSensor::kSerialNum));
    // The tip shows on Z as about 35 mg more; on X as 0.6 mg less.
    EXPECT_NEAR(r.offsetBefore[2], offsets[2] + std::sin(tip), 0.001);
    EXPECT_NEAR(r.offsetBefore[0], offsets[0] + std::cos(tip) - 1.0, 0.001);
    for (std::size_t axis = 0; axis < 3; ++axis) {
        EXPECT_LE(std::abs(r.offsetAfter[axis]), r.tolerance[axis]) << axis;
        // Two seconds at 400 samples a second: the tolerance is tens of micro-g.
        EXPECT_LT(r.tolerance[axis], 0.0001) << axis;
        EXPECT_GT(std::abs(r.offsetBefore[axis]), 10 * r.tolerance[axis]) << axis;
    }
    EXPECT_EQ(Nulls(), r.newNulls);
    EXPECT_NE(Nulls(), r.oldNulls);
}

TEST_F(NullProcedureTest, AMovingBoardIsRefusedAndNothingIsWritten) {
    sensor.pokeWord(SimSensor::kXAcclNull, 0x0123);
    const NullResult r = procedure.Run({*ReferenceFor("+z"), 1.0});
    EXPECT_EQ(r.outcome, NullOutcome::Moving);
    EXPECT_NE(r.message.find("The sensor moved"), std::string::npos) << r.message;
    EXPECT_EQ(r.after.samples, 0u);
    EXPECT_EQ(Nulls()[0], 0x0123);
}

TEST_F(NullProcedureTest, ASensorApplyingTheNullsTheOtherWayIsZeroedAfterOneRetry) {
    sensor.holdStill({0.0, 0.0, -1.0});
    sensor.setNullSign(-1);
    const NullResult r = procedure.Run({*ReferenceFor("-z"), 2.0});
    ASSERT_EQ(r.outcome, NullOutcome::Zeroed) << r.message;
    EXPECT_TRUE(r.oppositeSign);
    EXPECT_NE(r.message.find("other way round"), std::string::npos);
    for (std::size_t axis = 0; axis < 3; ++axis)
        EXPECT_LE(std::abs(r.offsetAfter[axis]), r.tolerance[axis]) << axis;
}

TEST_F(NullProcedureTest, TheSnapshotTakenFirstRestoresTheOldNullsExactly) {
    sensor.holdStill({0.0, 0.0, 1.0});
    sensor.pokeWord(SimSensor::kXAcclNull, 0x8001);
    sensor.pokeWord(0x14, 0x7FFE);
    sensor.pokeWord(0x16, 0x0005);
    const auto before = Nulls();
    const Snapshot undo = procedure.TakeUndo();
    const NullResult r = procedure.Run({*ReferenceFor("+z"), 1.0});
    ASSERT_NE(Nulls(), before) << r.message;
    EXPECT_TRUE(procedure.Undo().empty());
    EXPECT_EQ(Nulls(), before);
    // Nothing else was left changed either.
    const Snapshot now = TakeSnapshot(stack.registers(), table);
    EXPECT_TRUE(CompareSnapshots(undo, now, table, false).empty());
}

}  // namespace
}  // namespace quenlor
