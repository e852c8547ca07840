#pragma once

#include <cstdint>

#include "platform/Clock.h"
#include "tests/ui/UiRig.h"

namespace quenlor {

// The rig's simulated seconds as a clock, for runs timed at the sensor's pace
// (the rig is made after the clock it is given, so it is set afterwards).
class RigTime : public Clock {
  public:
    UiRig* rig = nullptr;
    float secondsSinceMidnight() override { return static_cast<float>(rig->simTime()); }
    std::int64_t monotonicNanoseconds() override {
        return static_cast<std::int64_t>(rig->simTime() * 1e9);
    }
    LocalDateTime localDateTime() override { return {2026, 12, 9, 0, 0, 0}; }
};

}  // namespace quenlor
