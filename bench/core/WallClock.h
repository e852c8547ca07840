#pragma once

#include <chrono>
#include <cstdint>
#include <ctime>

#include "platform/Clock.h"

namespace quenlor {

// Seconds since local midnight from the system clock, as the program's own
// clock reads them: a single-precision float, so late in the day it resolves
// only a few milliseconds, much like a timer tick.
class WallClock : public Clock {
  public:
    static std::tm Local(std::time_t seconds) {
        std::tm local{};
#if defined(_WIN32)
        localtime_s(&local, &seconds);
#else
        localtime_r(&seconds, &local);
#endif
        return local;
    }
    float secondsSinceMidnight() override {
        const auto now = std::chrono::system_clock::now();
        const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
        const std::tm local = Local(seconds);
        const auto whole = std::chrono::system_clock::from_time_t(seconds);
        const double fraction = std::chrono::duration<double>(now - whole).count();
        const double sinceMidnight = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec;
        return static_cast<float>(sinceMidnight + fraction);
    }
    LocalDateTime localDateTime() override {
        const std::tm local = Local(std::time(nullptr));
        return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                local.tm_hour,        local.tm_min,     local.tm_sec};
    }
    std::int64_t monotonicNanoseconds() override {
        return std::chrono::duration_cast<std::chrono::nanoseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
};

}  // namespace quenlor
