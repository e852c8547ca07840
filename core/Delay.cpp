#include "core/Delay.h"

#include <cmath>
#include <limits>
#include <utility>

namespace quenlor {

namespace {

// Nearest integer, halves to even, kept inside the 32-bit range (a stopped
// clock would otherwise ask for more iterations than the counter can hold).
std::int32_t RoundToCount(double value, std::int32_t lowest) {
    constexpr double kMax = std::numeric_limits<std::int32_t>::max();
    const double r = std::nearbyint(value);
    if (!(r >= lowest))
        return lowest;
    if (r >= kMax)
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(r);
}

}  // namespace

void BusySpin(std::int32_t steps, std::int32_t countPer10us) {
    for (std::int32_t step = 0; step < steps; ++step) {
        for (std::int32_t i = 0; i < countPer10us; ++i) {
#if defined(__GNUC__) || defined(__clang__)
            // An empty barrier: the compiler must keep every iteration but emits no code for it.
            asm volatile("" ::: "memory");
#else
            static_cast<void>(*static_cast<volatile std::int32_t*>(&i));
#endif
        }
    }
}

Delay::Delay(Settings& settings, Clock& clock, Cursor& cursor, SpinFunction spin)
    : settings_(settings), clock_(clock), cursor_(cursor), spin_(std::move(spin)) {}

void Delay::DelayMs(float ms) {
    if (ms == 0.0f)
        return;
    // NaN falls through to the shortest delay as well.
    if (!(ms >= 0.01f))
        ms = 0.01f;
    const std::int32_t steps = RoundToCount(static_cast<double>(ms) * 100.0, 1);
    if (!settings_.DelayCalibrated)
        CalibrateDelay();
    const std::int32_t count = settings_.DelayCount10us;
    spin_(steps, count);
}

void Delay::CalibrateDelay() {
    settings_.DelayCalibrated = true;
    settings_.DelayCount10us = 1000;
    cursor_.setBusy(true);

    auto trial = [this](float ms) {
        const float start = clock_.secondsSinceMidnight();
        DelayMs(ms);
        return clock_.secondsSinceMidnight() - start;
    };

    float elapsed = trial(500.0f);
    if (elapsed < 0.005f) {
        settings_.DelayCount10us *= 40;
        elapsed = trial(500.0f);
    }
    if (elapsed < 0.1f) {
        settings_.DelayCount10us *= 6;
        elapsed = trial(500.0f);
    }
    if (elapsed < 0.0005f)
        elapsed = 0.0005f;
    // A count of zero would turn every later wait into none; one iteration is the least.
    settings_.DelayCount10us =
        RoundToCount(0.5 / static_cast<double>(elapsed) * settings_.DelayCount10us, 1);

    elapsed = trial(3000.0f);
    if (elapsed < 0.1f)
        elapsed = 0.1f;
    settings_.DelayCount10us =
        RoundToCount(3.0 / static_cast<double>(elapsed) * settings_.DelayCount10us, 1);

    cursor_.setBusy(false);
}

}  // namespace quenlor
