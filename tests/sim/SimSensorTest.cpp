#include "sim/SimSensor.h"
#include "sim/StillBoard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace quenlor {
namespace {

constexpr std::uint16_t read(std::uint8_t address) {
    return static_cast<std::uint16_t>((address & 0x7F) << 8);
}
constexpr std::uint16_t write(std::uint8_t address, std::uint8_t data) {
    return static_cast<std::uint16_t>(0x8000 | ((address & 0x7F) << 8) | data);
}

double signedWord(std::uint16_t w) {
    return static_cast<std::int16_t>(w);
}

class SimSensorTest : public ::testing::Test {
  protected:
    // Reads a register over frames: the answer arrives in the next frame.
    std::uint16_t readOver(std::uint8_t address) {
        sensor.transfer(read(address));
        return sensor.transfer(read(address));
    }

    double now = 100.0;
    SimSensor sensor{11, [this] { return now; }};
};

TEST_F(SimSensorTest, AnswerToReadRequestComesDuringTheNextFrame) {
    sensor.transfer(read(SimSensor::kProdId));
    EXPECT_EQ(sensor.transfer(read(SimSensor::kSerialNum)), SimSensor::kProductId);
    EXPECT_EQ(sensor.transfer(0x0000), sensor.peekWord(SimSensor::kSerialNum));
    // The odd (high-byte) address names the same word.
    sensor.transfer(read(SimSensor::kProdId + 1));
    EXPECT_EQ(sensor.transfer(0x0000), SimSensor::kProductId);
    EXPECT_EQ(sensor.frameCount(), 5u);
}

TEST_F(SimSensorTest, WriteFramesWriteOneByteEachToWritableRegistersOnly) {
    sensor.transfer(write(0x21, 0x12));  // ALM_MAG_X high byte
    EXPECT_EQ(sensor.peekWord(0x20), 0x1200);
    sensor.transfer(write(0x20, 0x34));
    EXPECT_EQ(sensor.peekWord(0x20), 0x1234);
    EXPECT_EQ(readOver(0x20), 0x1234);

    const std::uint16_t flashCnt = sensor.peekWord(SimSensor::kFlashCnt);
    const std::uint16_t xAccl = sensor.peekWord(SimSensor::kXAcclOut);
    sensor.pokeWord(SimSensor::kDiagStat, 0x0001);
    for (std::uint8_t a : {SimSensor::kFlashCnt, SimSensor::kXAcclOut, SimSensor::kDiagStat}) {
        sensor.transfer(write(a, 0x55));
        sensor.transfer(write(static_cast<std::uint8_t>(a + 1), 0x55));
    }
    EXPECT_EQ(sensor.peekWord(SimSensor::kFlashCnt), flashCnt);
    EXPECT_EQ(sensor.peekWord(SimSensor::kXAcclOut), xAccl);
    EXPECT_EQ(sensor.peekWord(SimSensor::kDiagStat), 0x0001);
}

TEST_F(SimSensorTest, FrameCutShortIsDropped) {
    sensor.transfer(read(SimSensor::kProdId));
    EXPECT_EQ(sensor.beginFrame(), SimSensor::kProductId);
    sensor.endFrame(write(0x20, 0x77), 15);
    EXPECT_EQ(sensor.peekWord(0x20), 0);
    EXPECT_EQ(sensor.frameCount(), 1u);
    // The dropped frame left the pending answer in place.
    EXPECT_EQ(sensor.transfer(0x0000), SimSensor::kProductId);
}

TEST_F(SimSensorTest, GlobCmdClearsStatusAndStoresFlash) {
    sensor.pokeWord(SimSensor::kDiagStat, 0x0081);
    sensor.transfer(write(SimSensor::kGlobCmd, 0x10));
    EXPECT_EQ(sensor.peekWord(SimSensor::kDiagStat), 0);

    const std::uint16_t count = sensor.peekWord(SimSensor::kFlashCnt);
    sensor.transfer(write(0x38, 0x04));  // AVG_CNT
    sensor.transfer(write(SimSensor::kGlobCmd, 0x40));
    EXPECT_EQ(sensor.peekWord(SimSensor::kFlashCnt), count + 1);
    EXPECT_EQ(sensor.flashWord(0x38), 0x0004);
    EXPECT_EQ(sensor.peekWord(SimSensor::kDiagStat), 0x0000) << "flash alone clears nothing";

    // Later changes stay out of flash until a reset brings the flash back.
    sensor.transfer(write(0x38, 0x09));
    EXPECT_EQ(sensor.flashWord(0x38), 0x0004);
    sensor.transfer(write(SimSensor::kGlobCmd, 0x80));
    EXPECT_EQ(sensor.peekWord(0x38), 0x0004);
    EXPECT_EQ(sensor.peekWord(SimSensor::kFlashCnt), count + 1);
}

TEST_F(SimSensorTest, DataReadyFollowsTheSampleRateAndClearsOnOutputRead) {
    sensor.setSampleRate(100.0);  // one sample every 10 ms from now
    const auto ready = [&] { return (readOver(SimSensor::kDiagStat) & 0x80) != 0; };
    ASSERT_TRUE(ready());
    sensor.transfer(read(SimSensor::kZInclOut));
    EXPECT_FALSE(ready());
    const std::uint64_t samples = sensor.sampleCount();

    now += 0.009;
    EXPECT_FALSE(ready());
    EXPECT_EQ(sensor.sampleCount(), samples);
    now += 0.002;
    EXPECT_TRUE(ready());
    EXPECT_EQ(sensor.sampleCount(), samples + 1);
    // Reading status or a settings register does not consume the sample.
    readOver(0x38);
    EXPECT_TRUE(ready());
    sensor.transfer(read(SimSensor::kSupplyOut));
    EXPECT_FALSE(ready());
    // A long pause gives one fresh sample, not a backlog.
    now += 1.0;
    EXPECT_TRUE(ready());
    EXPECT_EQ(sensor.sampleCount(), samples + 2);
}

// What the read loop bench counts as missed: samples between the first and
// the last a data-ready poll saw that no poll saw, whether an output read
// cleared them or the next sample came first.
TEST_F(SimSensorTest, ReadyWatchCountsSamplesNoPollSaw) {
    sensor.setSampleRate(100.0);
    const auto poll = [&] { sensor.transfer(read(SimSensor::kDiagStat)); };
    const auto consume = [&] { sensor.transfer(read(SimSensor::kXAcclOut)); };
    sensor.resetReadyWatch();
    poll();  // the sample taken before the reset's period: seen
    consume();
    poll();  // nothing new
    now += 0.0101;
    poll();
    poll();  // the same sample twice counts once
    consume();
    EXPECT_EQ(sensor.readyWatch().seen, 2u);
    EXPECT_EQ(sensor.readyWatch().missed(), 0u);

    now += 0.01;
    consume();    // cleared before any poll
    now += 0.02;  // one more comes and goes before the poll sees the next
    poll();
    EXPECT_EQ(sensor.readyWatch().seen, 3u);
    EXPECT_EQ(sensor.readyWatch().last - sensor.readyWatch().first, 4u);
    EXPECT_EQ(sensor.readyWatch().missed(), 2u);
}

TEST_F(SimSensorTest, OutputsHoldStillWithinOneSamplePeriod) {
    const std::uint16_t first = readOver(SimSensor::kXAcclOut);
    now += 0.001;  // under the default 2.5 ms period
    EXPECT_EQ(readOver(SimSensor::kXAcclOut), first);
}

std::vector<std::uint16_t> record(std::uint32_t seed) {
    double t = 5.0;
    SimSensor s(seed, [&t] { return t; });
    std::vector<std::uint16_t> out;
    for (int i = 0; i < 200; ++i) {
        t += 0.01;
        for (std::uint8_t a = SimSensor::kSupplyOut; a <= SimSensor::kZInclOut; a += 2) {
            s.transfer(read(a));
            out.push_back(s.transfer(0));
        }
    }
    out.push_back(s.peekWord(SimSensor::kSerialNum));
    return out;
}

TEST(SimSensorModelTest, SameSeedAndClockGiveTheSameReadings) {
    EXPECT_EQ(record(42), record(42));
    EXPECT_NE(record(42), record(43));
}

TEST(SimSensorModelTest, ReadingsAreThoseOfATiltingBoardOnThreePointThreeVolts) {
    double t = 0.0;
    SimSensor s(5, [&t] { return t; });
    double minX = 1.0;
    double maxX = -1.0;
    std::uint16_t previous = 0;
    int changes = 0;
    for (int i = 0; i < 600; ++i) {
        t += 0.1;                                // one minute
        s.transfer(read(SimSensor::kXAcclOut));  // takes the sample due now
        const double gx = signedWord(s.peekWord(SimSensor::kXAcclOut)) * 0.000061;
        const double gy = signedWord(s.peekWord(SimSensor::kYAcclOut)) * 0.000061;
        const double gz = signedWord(s.peekWord(SimSensor::kZAcclOut)) * 0.000061;
        EXPECT_NEAR(std::sqrt(gx * gx + gy * gy + gz * gz), 1.0, 0.02);
        const double xIncl = signedWord(s.peekWord(SimSensor::kXInclOut)) * 0.0054931640625;
        EXPECT_NEAR(xIncl, std::asin(std::clamp(gx, -1.0, 1.0)) * 180.0 / std::numbers::pi, 1.0);
        EXPECT_NEAR(signedWord(s.peekWord(SimSensor::kSupplyOut)) * 0.0001526, 3.3, 0.01);
        EXPECT_NEAR(signedWord(s.peekWord(SimSensor::kTempOut)) * -0.47 + 625.66, 25.0, 1.5);
        minX = std::min(minX, gx);
        maxX = std::max(maxX, gx);
        if (s.peekWord(SimSensor::kXAcclOut) != previous)
            ++changes;
        previous = s.peekWord(SimSensor::kXAcclOut);
    }
    EXPECT_GT(maxX - minX, 0.2) << "the board should tilt visibly within a minute";
    EXPECT_GT(changes, 550);
}

// Mean and deviation of one axis over n samples, one each 1/400 s, in g.
std::pair<double, double> StillStats(SimSensor& s, double& t, std::uint8_t address, int n) {
    double sum = 0.0;
    double squares = 0.0;
    for (int i = 0; i < n; ++i) {
        t += 1.0 / 400.0;
        s.transfer(read(address));
        const double g = signedWord(s.peekWord(address)) * 0.000061;
        sum += g;
        squares += g * g;
    }
    const double mean = sum / n;
    return {mean, std::sqrt(squares / n - mean * mean)};
}

TEST(SimSensorModelTest, StillBoardReadsGravityPlusItsOffsetsWithTheDocumentedNoise) {
    double t = 0.0;
    SimSensor s(9, [&t] { return t; });
    s.holdStill({0.0, -1.0, 0.0});
    const auto offsets = StillBoard::startOffsets(s.peekWord(SimSensor::kSerialNum));
    for (double o : offsets)
        EXPECT_TRUE(std::abs(o) >= 0.020 && std::abs(o) <= 0.050) << o;
    const auto [meanY, sigmaY] = StillStats(s, t, SimSensor::kYAcclOut, 4000);
    EXPECT_NEAR(meanY, -1.0 + offsets[1], 0.0002);
    EXPECT_NEAR(sigmaY, StillBoard::kWhiteDensity * std::sqrt(200.0), 0.1 * sigmaY);

    // 0x0100 counts of null move the output by that much, or back with a part
    // that applies the nulls the other way.
    const double before = StillStats(s, t, SimSensor::kXAcclOut, 2000).first;
    s.pokeWord(SimSensor::kXAcclNull, 0x0100);
    EXPECT_NEAR(StillStats(s, t, SimSensor::kXAcclOut, 2000).first - before, 256 * 0.000061,
                0.0002);
    s.setNullSign(-1);
    EXPECT_NEAR(StillStats(s, t, SimSensor::kXAcclOut, 2000).first - before, -256 * 0.000061,
                0.0002);
}

}  // namespace
}  // namespace quenlor
