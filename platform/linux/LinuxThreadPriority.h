#pragma once

#include "platform/ThreadPriority.h"
#include "platform/linux/SchedulingCalls.h"
#include "platform/linux/SystemSchedulingCalls.h"

namespace quenlor {

// On Linux: the lowest SCHED_FIFO priority where RLIMIT_RTPRIO allows it,
// else the lowest nice value RLIMIT_NICE allows, else the thread stays as it
// is. A real-time thread that spins is still held to the kernel's real-time
// share (95 % of each second by default), so the desktop keeps the rest.
class LinuxThreadPriority : public ThreadPriority {
  public:
    LinuxThreadPriority() : calls_(system_) {}
    explicit LinuxThreadPriority(SchedulingCalls& calls) : calls_(calls) {}

    std::string raiseCurrentThread() override;

  private:
    SystemSchedulingCalls system_;
    SchedulingCalls& calls_;
};

}  // namespace quenlor
