#pragma once

#include <cstdint>
#include <limits>

namespace quenlor {

// The few system calls that raise a thread's priority on Linux, so that the
// order of the tries can be checked without the rights they ask for.
// Failures are negative errno values.
class SchedulingCalls {
  public:
    static constexpr std::uint64_t kUnlimited = std::numeric_limits<std::uint64_t>::max();

    virtual ~SchedulingCalls() = default;
    // The soft limits: RLIMIT_RTPRIO, the highest real-time priority allowed,
    // and RLIMIT_NICE, 20 less the lowest nice value allowed. 0 when unknown.
    virtual std::uint64_t realtimeLimit() = 0;
    virtual std::uint64_t niceLimit() = 0;
    // The lowest SCHED_FIFO priority.
    virtual int fifoMinimum() = 0;
    // The calling thread's scheduling: 0 or -errno.
    virtual int setFifo(int priority) = 0;
    virtual int niceValue() = 0;
    virtual int setNice(int value) = 0;
};

}  // namespace quenlor
