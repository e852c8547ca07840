#pragma once

#include <string>

namespace quenlor {

// The scheduling of the calling thread, for work that has to keep pace with
// the sensor.
class ThreadPriority {
  public:
    virtual ~ThreadPriority() = default;
    // Raises the calling thread's priority as far as the system lets this
    // user, and says what it got ("SCHED_FIFO 1", "nice -5", "above normal",
    // "normal (refused)"). Never fails: a refusal leaves the thread as it was.
    virtual std::string raiseCurrentThread() = 0;
};

}  // namespace quenlor
