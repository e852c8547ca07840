#include "zeroing/OffsetMeasurement.h"

#include <cmath>
#include <cstdint>

namespace quenlor {

namespace {

constexpr std::int32_t kDataReady = 0x80;
// The progress hook is told at most this often (monotonic nanoseconds).
constexpr std::int64_t kProgressEveryNs = 50'000'000;

struct Sums {
    double sum = 0.0;
    double squares = 0.0;
};

bool DataReady(RegisterAccess& registers) {
    registers.ReadRegister(DIAG_STAT);
    return (registers.RegisterReadResult.Value & kDataReady) != 0;
}

// Reads and drops the samples of `seconds`, at least two of them; gives up
// waiting for the two after `giveUp` seconds more.
void Settle(RegisterAccess& registers, Clock& clock, double seconds, double giveUp) {
    const std::int64_t start = clock.monotonicNanoseconds();
    const auto span = static_cast<std::int64_t>(seconds * 1e9);
    const auto limit = span + static_cast<std::int64_t>(giveUp * 1e9);
    int dropped = 0;
    for (std::int64_t t = 0; t < span || (dropped < 2 && t < limit);
         t = clock.monotonicNanoseconds() - start) {
        if (!DataReady(registers))
            continue;
        for (std::int16_t i = XACCL_OUT; i <= ZACCL_OUT; ++i)
            registers.ReadRegister(i);
        ++dropped;
    }
}

}  // namespace

OffsetMeasurement MeasureOffsets(RegisterAccess& registers, const RegisterTable& table,
                                 Clock& clock, double seconds, double settle,
                                 const NullProgress& progress) {
    Settle(registers, clock, settle, seconds);
    const std::int64_t start = clock.monotonicNanoseconds();
    const auto span = static_cast<std::int64_t>(seconds * 1e9);
    std::int64_t told = start;
    std::array<Sums, 3> sums{};
    // Offsets of a few tens of mg would lose digits in sums of squares of whole
    // readings around 1 g; the first sample is the working zero.
    std::array<double, 3> origin{};
    OffsetMeasurement m;
    for (std::int64_t now = start; now - start < span; now = clock.monotonicNanoseconds()) {
        if (now - told >= kProgressEveryNs) {
            told = now;
            if (progress && !progress(double(now - start) / double(span))) {
                m.stopped = true;
                break;
            }
        }
        if (!DataReady(registers))
            continue;
        for (std::size_t axis = 0; axis < 3; ++axis) {
            const auto index = static_cast<std::int16_t>(XACCL_OUT + axis);
            registers.ReadRegister(index);
            const double g = registers.RegisterReadResult.Value * double(table[index].RegScale);
            if (m.samples == 0)
                origin[axis] = g;
            sums[axis].sum += g - origin[axis];
            sums[axis].squares += (g - origin[axis]) * (g - origin[axis]);
        }
        ++m.samples;
    }
    if (m.samples == 0)
        return m;
    const double n = double(m.samples);
    for (std::size_t axis = 0; axis < 3; ++axis) {
        const double mean = sums[axis].sum / n;
        const double variance =
            m.samples > 1 ? std::max(0.0, (sums[axis].squares - n * mean * mean) / (n - 1)) : 0.0;
        m.axes[axis].mean = origin[axis] + mean;
        m.axes[axis].deviation = std::sqrt(variance);
        m.axes[axis].error = std::sqrt(variance / n);
    }
    return m;
}

}  // namespace quenlor
