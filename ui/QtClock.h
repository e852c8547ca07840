#pragma once

#include "platform/Clock.h"

namespace quenlor {

// Seconds since midnight from the local wall clock (millisecond resolution).
class QtClock : public Clock {
  public:
    float secondsSinceMidnight() override;
};

}  // namespace quenlor
