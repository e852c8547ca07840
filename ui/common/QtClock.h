#pragma once

#include "platform/Clock.h"

namespace quenlor {

// Seconds since midnight from the local wall clock (millisecond resolution);
// the monotonic clock is the system's steady clock.
class QtClock : public Clock {
  public:
    float secondsSinceMidnight() override;
    std::int64_t monotonicNanoseconds() override;
    LocalDateTime localDateTime() override;
};

}  // namespace quenlor
