#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <random>

namespace quenlor {

class BusTrace;

// The simulated inertial sensor behind both simulated interfaces: its
// registers at their byte addresses and its full-duplex 16-bit SPI frames.
// The answer to a read request comes back during the next frame.
class SimSensor {
public:
    // `clock` gives seconds (monotonic); without one the sensor runs on real time.
    explicit SimSensor(std::uint32_t seed = 1, std::function<double()> clock = {});

    // Frame-level interface for the bit-banging parallel board: the word the
    // sensor will shift out during the frame now starting, then the end of the
    // frame with the word it received and how many bits were clocked.
    std::uint16_t beginFrame();
    void endFrame(std::uint16_t received, int bitCount);

    // One whole 16-bit frame: returns the word shifted out while `mosi` came in.
    std::uint16_t transfer(std::uint16_t mosi) {
        std::uint16_t out = beginFrame();
        endFrame(mosi, 16);
        return out;
    }

    // Direct register access for tests: the 16-bit word at an even address.
    std::uint16_t peekWord(std::uint8_t address);
    void pokeWord(std::uint8_t address, std::uint16_t value);

    void setSampleRate(double hz);
    void setTrace(BusTrace* trace) { trace_ = trace; }

    // Frames received so far and the channel; for tests and the trace.
    std::uint64_t frameCount() const { return frames_; }

private:
    // Filled in by the implementation.
    std::function<double()> clock_;
    std::mt19937 rng_;
    BusTrace* trace_ = nullptr;
    std::uint64_t frames_ = 0;
    std::array<std::uint8_t, 128> regs_{};
    std::uint16_t pendingOut_ = 0;
    double sampleRate_ = 400.0;
};

}  // namespace quenlor
