#pragma once

#include <cstdint>

namespace quenlor {

// The system's clocks: the wall clock read as seconds since midnight (coarse,
// one timer tick), and a monotonic clock that no midnight or change of the
// time moves, for measuring intervals.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual float secondsSinceMidnight() = 0;
    virtual std::int64_t monotonicNanoseconds() = 0;
};

}  // namespace quenlor
