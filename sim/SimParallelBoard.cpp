#include "sim/SimParallelBoard.h"

#include "sim/SimSensor.h"

namespace quenlor {

SimParallelBoard::SimParallelBoard(SimSensor& sensor) : sensor_(sensor) {}

void SimParallelBoard::vbOut(std::int16_t port, std::int16_t value) {
    if (accessDenied_)
        return;
    // The status register is read-only; a write to it reaches no line.
    if (hasBase_ && port == statusPort())
        return;
    if (hasBase_ && port != base_ && selected_) {
        // The host moved to another port mid-frame: this board's lines stop
        // where they were, and the frame ends there.
        endFrame();
    }
    hasBase_ = true;
    base_ = port;
    dataWrite(value);
}

std::int16_t SimParallelBoard::vbInp(std::int16_t port) {
    if (!hasBase_ || accessDenied_)
        return 0xFF;
    if (port == statusPort())
        return static_cast<std::int16_t>(kStatusOtherBits | (miso_ ? 0 : kStatusMiso));
    if (port == base_)
        return lastData_;
    return 0xFF;
}

std::int16_t SimParallelBoard::statusPort() const {
    // A 16-bit port address: above 7FFF hex it is negative, and 7FFF + 1 wraps.
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(base_) + 1);
}

void SimParallelBoard::giveio(std::int16_t) {
    ++permissionRequests_;
}

void SimParallelBoard::dataWrite(std::int16_t value) {
    lastData_ = static_cast<std::int16_t>(value & 0xFF);
    const bool select = (value & 1) != 0;
    const bool clockHigh = (value & 2) == 0;
    const bool mosi = (value & 4) == 0;

    // Line changes within one write: a select edge is taken first, so a
    // write that selects and moves the clock at once starts the frame before
    // the clock edge, and one that deselects ends it before.
    if (select && !selected_) {
        selected_ = true;
        ++framesStarted_;
        shiftOut_ = sensor_.beginFrame();
        bitsOut_ = 0;
        received_ = 0;
        bitsIn_ = 0;
    } else if (!select && selected_) {
        endFrame();
    }

    if (selected_ && clockHigh != clockHigh_) {
        if (!clockHigh) {
            // Falling edge: the sensor shifts out its next bit; past the
            // sixteenth its shift register gives zeros.
            miso_ = bitsOut_ < 16 && ((shiftOut_ >> (15 - bitsOut_)) & 1) != 0;
            ++bitsOut_;
        } else {
            // Rising edge: the sensor samples the data line.
            received_ = static_cast<std::uint16_t>((received_ << 1) | (mosi ? 1 : 0));
            ++bitsIn_;
        }
    }
    clockHigh_ = clockHigh;
}

void SimParallelBoard::endFrame() {
    selected_ = false;
    miso_ = true;
    sensor_.endFrame(received_, bitsIn_);
}

}  // namespace quenlor
