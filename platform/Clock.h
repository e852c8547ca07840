#pragma once

namespace quenlor {

// The system clock read as seconds since midnight (coarse, one timer tick).
class Clock {
  public:
    virtual ~Clock() = default;
    virtual float secondsSinceMidnight() = 0;
};

}  // namespace quenlor
