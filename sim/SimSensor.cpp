#include "sim/SimSensor.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <numbers>

#include "regmap/SensorCommands.h"
#include "sim/BusTrace.h"

namespace quenlor {

namespace {

constexpr double kAcclLsb = 0.000061;         // g
constexpr double kInclLsb = 0.0054931640625;  // degrees
constexpr double kSupplyLsb = 0.0001526;      // volts
constexpr double kTempScale = -0.47;          // C per LSB
constexpr double kTempOffset = 625.66;        // C at 0
constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kDeg = std::numbers::pi / 180.0;

constexpr double kRollAmplitude = 25.0 * kDeg;
constexpr double kRollHz = 0.05;
constexpr double kPitchAmplitude = 15.0 * kDeg;
constexpr double kPitchHz = 0.031;
constexpr double kVibration = 0.004;  // g
constexpr double kVibrationHz = 17.0;
constexpr double kAcclNoise = 0.0015;  // g
constexpr double kInclNoise = 0.02;    // degrees

std::int16_t toLsb(double value, double lsb) {
    const double counts = std::round(value / lsb);
    return static_cast<std::int16_t>(std::clamp(counts, -32768.0, 32767.0));
}

}  // namespace

SimSensor::SimSensor(std::uint32_t seed, std::function<double()> clock)
    : clock_(std::move(clock)), rng_(seed), still_(seed) {
    if (!clock_) {
        const auto start = std::chrono::steady_clock::now();
        clock_ = [start] {
            return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        };
    }
    std::uniform_real_distribution<double> phase(0.0, kTwoPi);
    rollPhase_ = phase(rng_);
    pitchPhase_ = phase(rng_);
    vibPhase_ = phase(rng_);

    setWord(kFlashCnt, 12);
    setWord(RegisterAddress(MSC_CTRL), 0x0006);
    setWord(RegisterAddress(AVG_CNT), 0x0008);
    setWord(kLotId1, 0x3A41);
    setWord(kLotId2, 0x1C07);
    setWord(kProdId, kProductId);
    setWord(kSerialNum, static_cast<std::uint16_t>(0x0100 + rng_() % 0x7F00));
    for (std::uint8_t a = 0; a < regs_.size(); ++a) {
        if (isWritable(a))
            flash_[a] = regs_[a];
    }

    startTime_ = clock_();
    gridStart_ = startTime_;
    takeSample(startTime_);
    nextSample_ = startTime_ + 1.0 / sampleRate_;
}

bool SimSensor::isWritable(std::uint8_t address) {
    return (address >= 0x12 && address <= 0x17) || (address >= 0x20 && address <= 0x2F) ||
           (address >= 0x32 && address <= 0x3B) || (address >= 0x52 && address <= 0x59);
}

bool SimSensor::isOutput(std::uint8_t address) {
    return address >= 0x02 && address <= 0x11;
}

std::uint16_t SimSensor::word(std::uint8_t address) const {
    const std::size_t even = address & 0x7E;
    return static_cast<std::uint16_t>(regs_[even] | (regs_[even + 1] << 8));
}

void SimSensor::setWord(std::uint8_t address, std::uint16_t value) {
    const std::size_t even = address & 0x7E;
    regs_[even] = static_cast<std::uint8_t>(value & 0xFF);
    regs_[even + 1] = static_cast<std::uint8_t>(value >> 8);
}

void SimSensor::advance() {
    const double now = clock_();
    if (now < nextSample_)
        return;
    const double period = 1.0 / sampleRate_;
    // One sample at the latest grid point; samples missed while nobody looked
    // are not worth computing.
    const double k = std::floor((now - gridStart_) / period);
    takeSample(gridStart_ + k * period);
    nextSample_ = gridStart_ + (k + 1.0) * period;
    sampleIndex_ = gridIndex_ + static_cast<std::uint64_t>(k);
}

void SimSensor::noteReadyPoll() {
    if ((word(kDiagStat) & kDataReady) == 0)
        return;
    if (watch_.seen != 0 && watch_.last == sampleIndex_)
        return;
    if (watch_.seen == 0)
        watch_.first = sampleIndex_;
    watch_.last = sampleIndex_;
    ++watch_.seen;
}

void SimSensor::holdStill(const std::array<double, 3>& gravity) {
    stillGravity_ = gravity;
    // The registers show the board at rest at once, not the moving board's last sample.
    takeSample(clock_());
}

void SimSensor::takeSample(double time) {
    const double t = time - startTime_;
    std::array<double, 3> gravity{};
    std::array<double, 3> accel{};
    if (stillGravity_) {
        gravity = *stillGravity_;
        const auto errors = still_.sample(t, sampleRate_);
        const auto offsets = StillBoard::startOffsets(word(kSerialNum));
        for (std::size_t axis = 0; axis < 3; ++axis)
            accel[axis] = gravity[axis] + offsets[axis] + errors[axis];
    } else {
        const double roll = kRollAmplitude * std::sin(kTwoPi * kRollHz * t + rollPhase_);
        const double pitch = kPitchAmplitude * std::sin(kTwoPi * kPitchHz * t + pitchPhase_);
        gravity = {std::sin(pitch), -std::sin(roll) * std::cos(pitch),
                   std::cos(roll) * std::cos(pitch)};
        const double vib = kVibration * std::sin(kTwoPi * kVibrationHz * t + vibPhase_);
        accel = {gravity[0] + vib, gravity[1] + 0.6 * vib, gravity[2] - 0.8 * vib};
    }

    for (std::size_t axis = 0; axis < 3; ++axis) {
        const auto acclAddr = static_cast<std::uint8_t>(kXAcclOut + 2 * axis);
        const auto nullAddr = static_cast<std::uint8_t>(kXAcclNull + 2 * axis);
        const auto inclAddr = static_cast<std::uint8_t>(kXInclOut + 2 * axis);
        const double null = nullSign_ * static_cast<std::int16_t>(word(nullAddr)) * kAcclLsb;
        // At rest the inclinations follow the nulled accelerations, errors and all.
        const double a = accel[axis] + (stillGravity_ ? 0.0 : noise(kAcclNoise)) + null;
        setWord(acclAddr, static_cast<std::uint16_t>(toLsb(a, kAcclLsb)));
        const double angle =
            stillGravity_
                ? std::asin(std::clamp(a, -1.0, 1.0)) / kDeg
                : std::asin(std::clamp(gravity[axis], -1.0, 1.0)) / kDeg + noise(kInclNoise);
        setWord(inclAddr, static_cast<std::uint16_t>(toLsb(angle, kInclLsb)));
    }

    const double supply = 3.3 + noise(0.0005);
    setWord(kSupplyOut, static_cast<std::uint16_t>(toLsb(supply, kSupplyLsb)));
    // The die warms by a fraction of a degree over the first minutes; at
    // rest it follows the still board's slower, longer warm-up.
    const double die =
        stillGravity_ ? StillBoard::dieTemperature(t) : 25.0 + 0.6 * (1.0 - std::exp(-t / 300.0));
    const double temp = die + noise(0.05);
    setWord(kTempOut, static_cast<std::uint16_t>(toLsb(temp - kTempOffset, kTempScale)));

    setWord(kDiagStat, word(kDiagStat) | kDataReady);
    ++samples_;
}

std::uint16_t SimSensor::beginFrame() {
    frameOut_ = pendingOut_;
    return frameOut_;
}

void SimSensor::endFrame(std::uint16_t received, int bitCount) {
    if (bitCount != 16) {
        if (trace_ != nullptr)
            trace_->droppedFrame(traceChannel_, received, bitCount);
        return;
    }
    ++frames_;
    advance();
    const auto address = static_cast<std::uint8_t>((received >> 8) & 0x7F);
    if ((received & 0x8000) != 0) {
        writeByte(address, static_cast<std::uint8_t>(received & 0xFF));
        pendingOut_ = 0;
    } else {
        pendingOut_ = word(address);
        if ((address & 0x7E) == kDiagStat)
            noteReadyPoll();
        if (isOutput(address))
            setWord(kDiagStat, static_cast<std::uint16_t>(word(kDiagStat) & ~kDataReady));
    }
    if (trace_ != nullptr)
        trace_->frame(traceChannel_, received, frameOut_);
}

std::uint16_t SimSensor::transfer(std::uint16_t mosi, int channel) {
    traceChannel_ = channel;
    const std::uint16_t out = beginFrame();
    endFrame(mosi, 16);
    traceChannel_ = 0;
    return out;
}

void SimSensor::writeByte(std::uint8_t address, std::uint8_t data) {
    if (address == kGlobCmd) {
        command(data);
        return;
    }
    if (isWritable(address))
        regs_[address] = data;
}

void SimSensor::command(std::uint8_t bits) {
    if ((bits & kRestoreFlashCommand) != 0) {
        for (std::uint8_t a = 0; a < regs_.size(); ++a) {
            if (isWritable(a))
                regs_[a] = flash_[a];
        }
    }
    if ((bits & kFlashUpdateCommand) != 0) {
        for (std::uint8_t a = 0; a < regs_.size(); ++a) {
            if (isWritable(a))
                flash_[a] = regs_[a];
        }
        setWord(kFlashCnt, static_cast<std::uint16_t>(word(kFlashCnt) + 1));
    }
    if ((bits & kClearStatusCommand) != 0)
        setWord(kDiagStat, 0);
}

std::uint16_t SimSensor::peekWord(std::uint8_t address) {
    return word(address);
}

void SimSensor::pokeWord(std::uint8_t address, std::uint16_t value) {
    setWord(address, value);
}

std::uint16_t SimSensor::flashWord(std::uint8_t address) const {
    const std::size_t even = address & 0x7E;
    return static_cast<std::uint16_t>(flash_[even] | (flash_[even + 1] << 8));
}

void SimSensor::pokeFlashWord(std::uint8_t address, std::uint16_t value) {
    const std::size_t even = address & 0x7E;
    flash_[even] = static_cast<std::uint8_t>(value & 0xFF);
    flash_[even + 1] = static_cast<std::uint8_t>(value >> 8);
}

void SimSensor::setSampleRate(double hz) {
    if (!(hz > 0.0))
        return;
    sampleRate_ = hz;
    const double now = clock_();
    gridStart_ = now;
    gridIndex_ = sampleIndex_;
    nextSample_ = now + 1.0 / sampleRate_;
}

}  // namespace quenlor
