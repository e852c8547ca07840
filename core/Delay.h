#pragma once

#include <cstdint>
#include <functional>

#include "core/Settings.h"
#include "platform/Clock.h"
#include "platform/Cursor.h"

namespace quenlor {

// Runs `steps` passes of an empty loop of `countPer10us` iterations. The same
// code times the calibration and spins every wait.
using SpinFunction = std::function<void(std::int32_t steps, std::int32_t countPer10us)>;
void BusySpin(std::int32_t steps, std::int32_t countPer10us);

// How DelayMs uses the spin function.
enum class DelayWait {
    // Spin until the monotonic clock reaches the deadline: the wait lasts what
    // was asked whatever the processor's speed since the calibration.
    UntilDeadline,
    // One call of the spin function per wait, with the steps asked for: for
    // stand-ins that take no real time (window tests, benches of own cost).
    CountedSteps,
};

// Busy-wait with 10 microsecond resolution. Blocks the thread and processes
// no window events. The calibration lives in Settings (DelayCalibrated,
// DelayCount10us); a deadline wait needs none and uses the count only to size
// its spins between two readings of the clock.
class Delay {
  public:
    // The real busy loop, waiting until the deadline.
    Delay(Settings& settings, Clock& clock, Cursor& cursor);
    // A stand-in for the busy loop; by default every wait is one call of it.
    Delay(Settings& settings, Clock& clock, Cursor& cursor, SpinFunction spin,
          DelayWait wait = DelayWait::CountedSteps);

    void DelayMs(float ms);
    void CalibrateDelay();

  private:
    void SpinUntil(std::int64_t deadline);
    // Seconds the bare loop takes for `ms` worth of steps at the current count.
    double Trial(float ms);

    Settings& settings_;
    Clock& clock_;
    Cursor& cursor_;
    SpinFunction spin_;
    DelayWait wait_;
};

}  // namespace quenlor
