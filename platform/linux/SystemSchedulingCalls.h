#pragma once

#include "platform/linux/SchedulingCalls.h"

namespace quenlor {

// The scheduling calls, forwarded to the kernel one to one; each acts on the
// calling thread alone.
class SystemSchedulingCalls : public SchedulingCalls {
  public:
    std::uint64_t realtimeLimit() override;
    std::uint64_t niceLimit() override;
    int fifoMinimum() override;
    int setFifo(int priority) override;
    int niceValue() override;
    int setNice(int value) override;
};

}  // namespace quenlor
