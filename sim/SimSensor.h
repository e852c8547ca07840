#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <random>

#include "regmap/RegisterMap.h"
#include "regmap/StatusRegister.h"
#include "sim/StillBoard.h"

namespace quenlor {

class BusTrace;

// The simulated inertial sensor behind both simulated interfaces: its
// registers at their byte addresses and its full-duplex 16-bit SPI frames.
// The answer to a read request comes back during the next frame.
//
// The outputs follow a board that tilts slowly and vibrates a little, with
// noise, on a 3.3 V supply at about 25 C; or, still, a board at rest with the
// errors of StillBoard and start-up offsets. The null registers add to the
// accelerations. A new sample is taken at the sample
// rate; it sets DIAG_STAT bit 7 (data ready), which a read request for any
// output register clears. GLOB_CMD bit 4 clears DIAG_STAT, bit 6 stores the
// writable registers in the flash image (FLASH_CNT counts it), bit 7 resets
// the writable registers from the flash image.
class SimSensor {
  public:
    static constexpr std::uint8_t kFlashCnt = RegisterAddress(FLASH_CNT);
    static constexpr std::uint8_t kSupplyOut = RegisterAddress(SUPPLY_OUT);
    static constexpr std::uint8_t kXAcclOut = RegisterAddress(XACCL_OUT);
    static constexpr std::uint8_t kYAcclOut = RegisterAddress(YACCL_OUT);
    static constexpr std::uint8_t kZAcclOut = RegisterAddress(ZACCL_OUT);
    static constexpr std::uint8_t kTempOut = RegisterAddress(TEMP_OUT);
    static constexpr std::uint8_t kXInclOut = RegisterAddress(XINCL_OUT);
    static constexpr std::uint8_t kYInclOut = RegisterAddress(YINCL_OUT);
    static constexpr std::uint8_t kZInclOut = RegisterAddress(ZINCL_OUT);
    static constexpr std::uint8_t kXAcclNull = RegisterAddress(XACCL_NULL);
    static constexpr std::uint8_t kDiagStat = RegisterAddress(DIAG_STAT);
    static constexpr std::uint8_t kGlobCmd = RegisterAddress(GLOB_CMD);
    static constexpr std::uint8_t kLotId1 = RegisterAddress(LOT_ID1);
    static constexpr std::uint8_t kLotId2 = RegisterAddress(LOT_ID2);
    static constexpr std::uint8_t kProdId = RegisterAddress(PROD_ID);
    static constexpr std::uint8_t kSerialNum = RegisterAddress(SERIAL_NUM);
    static constexpr std::uint16_t kProductId = 0x4013;
    static constexpr std::uint16_t kDataReady = kDataReadyMask;

    // `clock` gives seconds (monotonic); without one the sensor runs on real
    // time. The seed fixes the motion's phases, the noise and the serial number.
    explicit SimSensor(std::uint32_t seed = 1, std::function<double()> clock = {});

    // Frame-level interface for the bit-banging parallel board: the word the
    // sensor will shift out during the frame now starting, then the end of the
    // frame with the word it received and how many bits were clocked. A frame
    // of any other length than 16 bits is dropped, as the real part does.
    std::uint16_t beginFrame();
    void endFrame(std::uint16_t received, int bitCount);

    // One whole 16-bit frame: returns the word shifted out while `mosi` came in.
    std::uint16_t transfer(std::uint16_t mosi) { return transfer(mosi, 0); }
    // The same, naming the chip-select channel in the trace (0: parallel port).
    std::uint16_t transfer(std::uint16_t mosi, int channel);

    // Direct register access for tests: the 16-bit word at an even address
    // (an odd address names the same word). Neither advances the model;
    // pokeWord writes any register, read-only ones included.
    std::uint16_t peekWord(std::uint8_t address);
    void pokeWord(std::uint8_t address, std::uint16_t value);
    std::uint16_t flashWord(std::uint8_t address) const;
    void pokeFlashWord(std::uint8_t address, std::uint16_t value);

    // The board at rest with `gravity` (g, in the sensor's axes) instead of
    // the moving one, from now on.
    void holdStill(const std::array<double, 3>& gravity);
    // -1: the null registers subtract instead (a part that applies them the
    // other way round).
    void setNullSign(int sign) { nullSign_ = sign < 0 ? -1 : 1; }

    // Samples per second; values not above 0 are ignored.
    void setSampleRate(double hz);
    double sampleRate() const { return sampleRate_; }
    void setTrace(BusTrace* trace) { trace_ = trace; }

    // Complete frames received so far, and samples taken.
    std::uint64_t frameCount() const { return frames_; }
    std::uint64_t sampleCount() const { return samples_; }

    // Which samples a read request for DIAG_STAT found data-ready set for,
    // since the last reset: a loop that waits for each sample misses none
    // between the first and the last it saw. Samples are numbered on the
    // sample rate's grid, also those nobody looked at.
    struct ReadyWatch {
        std::uint64_t seen = 0;
        std::uint64_t first = 0;
        std::uint64_t last = 0;
        std::uint64_t missed() const { return seen == 0 ? 0 : last - first + 1 - seen; }
    };
    const ReadyWatch& readyWatch() const { return watch_; }
    void resetReadyWatch() { watch_ = {}; }

  private:
    static bool isWritable(std::uint8_t address);
    static bool isOutput(std::uint8_t address);

    void advance();
    void noteReadyPoll();
    void takeSample(double t);
    void writeByte(std::uint8_t address, std::uint8_t data);
    void command(std::uint8_t bits);
    void setWord(std::uint8_t address, std::uint16_t value);
    std::uint16_t word(std::uint8_t address) const;
    double noise(double sigma) { return sigma * gauss_(rng_); }

    std::function<double()> clock_;
    std::mt19937 rng_;
    std::normal_distribution<double> gauss_{0.0, 1.0};
    BusTrace* trace_ = nullptr;
    std::uint64_t frames_ = 0;
    std::uint64_t samples_ = 0;
    std::array<std::uint8_t, 128> regs_{};
    std::array<std::uint8_t, 128> flash_{};
    std::uint16_t pendingOut_ = 0;
    std::uint16_t frameOut_ = 0;
    int traceChannel_ = 0;

    double sampleRate_ = 400.0;
    double startTime_ = 0.0;
    double gridStart_ = 0.0;
    double nextSample_ = 0.0;
    // The current sample's number, and that of the grid's start.
    std::uint64_t sampleIndex_ = 0;
    std::uint64_t gridIndex_ = 0;
    ReadyWatch watch_;

    // Motion of the board: two slow tilts and a small vibration.
    double rollPhase_ = 0.0;
    double pitchPhase_ = 0.0;
    double vibPhase_ = 0.0;

    std::optional<std::array<double, 3>> stillGravity_;
    StillBoard still_;
    int nullSign_ = 1;
};

}  // namespace quenlor
