#include "spi/ParallelSpi.h"

namespace quenlor {

namespace {

// Data-register values. The board inverts every line, so a 1 bit on the wire
// is written as data bit 2 clear.
constexpr std::int16_t kIdle = 0;
constexpr std::int16_t kStart = 4;
constexpr std::int16_t kSelected = 5;
constexpr std::int16_t kClockHigh = 7;
constexpr std::int16_t kStatusMiso = 0x40;
constexpr float kFramePauseMs = 0.1f;

}  // namespace

ParallelSpi::ParallelSpi(Settings& settings, PortIo& port, Delay& delay)
    : settings_(settings), port_(port), delay_(delay) {}

void ParallelSpi::ParSpiWord(std::int32_t word) {
    if (settings_.Interface != InterfaceParallel)
        return;
    const std::int16_t data = settings_.PortAddress;
    port_.vbOut(data, kStart);
    port_.vbOut(data, kSelected);
    for (int bit = 15; bit >= 0; --bit) {
        const std::int16_t d = ((word >> bit) & 1) != 0 ? 0 : 4;
        port_.vbOut(data, kClockHigh);
        port_.vbOut(data, static_cast<std::int16_t>(d + 3));
        port_.vbOut(data, static_cast<std::int16_t>(d + 1));
        port_.vbOut(data, kSelected);
    }
    port_.vbOut(data, kIdle);
    delay_.DelayMs(kFramePauseMs);
}

std::int32_t ParallelSpi::ParSpiRead(std::int32_t address) {
    if (settings_.Interface != InterfaceParallel)
        return 0;
    ParSpiWord((address & 0x7F) * 256);

    const std::int16_t data = settings_.PortAddress;
    const auto status = static_cast<std::int16_t>(data + 1);
    std::int32_t answer = 0;
    port_.vbOut(data, kStart);
    port_.vbOut(data, kSelected);
    for (int bit = 15; bit >= 0; --bit) {
        port_.vbOut(data, kClockHigh);
        if ((port_.vbInp(status) & kStatusMiso) == 0)
            answer += 1 << bit;
        port_.vbOut(data, kSelected);
    }
    port_.vbOut(data, kIdle);
    delay_.DelayMs(kFramePauseMs);
    return answer;
}

void ParallelSpi::ParPortInit() {
    if (settings_.Interface != InterfaceParallel)
        return;
    port_.vbOut(static_cast<std::int16_t>(settings_.PortAddress + 1), kStatusMiso);
    delay_.DelayMs(kFramePauseMs);
    port_.vbOut(settings_.PortAddress, kIdle);
}

}  // namespace quenlor
