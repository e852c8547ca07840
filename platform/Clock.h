#pragma once

#include <cstdint>

namespace quenlor {

// A local date and time of day, to the second.
struct LocalDateTime {
    int year = 0;
    int month = 0;  // 1..12
    int day = 0;    // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The system's clocks: the wall clock read as seconds since midnight (coarse,
// one timer tick), and a monotonic clock that no midnight or change of the
// time moves, for measuring intervals.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual float secondsSinceMidnight() = 0;
    virtual std::int64_t monotonicNanoseconds() = 0;
    // The wall clock's local date and time, for records that say when.
    virtual LocalDateTime localDateTime() = 0;
};

}  // namespace quenlor
