#pragma once

#include <cstdint>
#include <functional>

#include "core/Settings.h"
#include "platform/Clock.h"
#include "platform/Cursor.h"

namespace quenlor {

// Runs `steps` passes of an empty loop of `countPer10us` iterations. The same
// code times the calibration and every wait.
using SpinFunction = std::function<void(std::int32_t steps, std::int32_t countPer10us)>;
void BusySpin(std::int32_t steps, std::int32_t countPer10us);

// Calibrated busy-wait with 10 microsecond resolution. Blocks the thread and
// processes no window events. The calibration lives in Settings
// (DelayCalibrated, DelayCount10us).
class Delay {
  public:
    Delay(Settings& settings, Clock& clock, Cursor& cursor, SpinFunction spin = BusySpin);

    void DelayMs(float ms);
    void CalibrateDelay();

  private:
    Settings& settings_;
    Clock& clock_;
    Cursor& cursor_;
    SpinFunction spin_;
};

}  // namespace quenlor
