#include "core/Delay.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace quenlor {

namespace {

constexpr std::int64_t kStepNs = 10000;

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

Delay::Delay(Settings& settings, Clock& clock, Cursor& cursor)
    : Delay(settings, clock, cursor, BusySpin, DelayWait::UntilDeadline) {}

Delay::Delay(Settings& settings, Clock& clock, Cursor& cursor, SpinFunction spin, DelayWait wait)
    : settings_(settings), clock_(clock), cursor_(cursor), spin_(std::move(spin)), wait_(wait) {}

void Delay::DelayMs(float ms) {
    if (ms == 0.0f)
        return;
    // NaN falls through to the shortest delay as well.
    if (!(ms >= 0.01f))
        ms = 0.01f;
    const std::int32_t steps = RoundToCount(static_cast<double>(ms) * 100.0, 1);
    if (wait_ == DelayWait::UntilDeadline) {
        SpinUntil(clock_.monotonicNanoseconds() + std::int64_t{steps} * kStepNs);
        return;
    }
    if (!settings_.DelayCalibrated)
        CalibrateDelay();
    spin_(steps, settings_.DelayCount10us);
}

void Delay::SpinUntil(std::int64_t deadline) {
    const std::int64_t count = std::max(settings_.DelayCount10us, std::int32_t{1});
    for (;;) {
        const std::int64_t left = deadline - clock_.monotonicNanoseconds();
        if (left <= 0)
            return;
        // A whole step while more than one is left; then the share of a step
        // that is left, so the wait ends within a fraction of a step.
        const std::int64_t iterations = left >= kStepNs ? count : count * left / kStepNs;
        spin_(1, static_cast<std::int32_t>(std::max(iterations, std::int64_t{1})));
    }
}

double Delay::Trial(float ms) {
    // Timed on the monotonic clock: a trial across midnight or a change of the
    // time of day measures the loop, not the jump.
    const std::int32_t steps = RoundToCount(static_cast<double>(ms) * 100.0, 1);
    const std::int64_t start = clock_.monotonicNanoseconds();
    spin_(steps, settings_.DelayCount10us);
    return static_cast<double>(clock_.monotonicNanoseconds() - start) / 1e9;
}

void Delay::CalibrateDelay() {
    settings_.DelayCalibrated = true;
    settings_.DelayCount10us = 1000;
    cursor_.setBusy(true);

    double elapsed = Trial(500.0f);
    if (elapsed < 0.005) {
        settings_.DelayCount10us *= 40;
        elapsed = Trial(500.0f);
    }
    if (elapsed < 0.1) {
        settings_.DelayCount10us *= 6;
        elapsed = Trial(500.0f);
    }
    if (elapsed < 0.0005)
        elapsed = 0.0005;
    // A count of zero would turn every later wait into none; one iteration is the least.
    settings_.DelayCount10us = RoundToCount(0.5 / elapsed * settings_.DelayCount10us, 1);

    elapsed = Trial(3000.0f);
    if (elapsed < 0.1)
        elapsed = 0.1;
    settings_.DelayCount10us = RoundToCount(3.0 / elapsed * settings_.DelayCount10us, 1);

    cursor_.setBusy(false);
}

}  // namespace quenlor
