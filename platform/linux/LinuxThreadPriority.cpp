#include "platform/linux/LinuxThreadPriority.h"

#include <algorithm>

namespace quenlor {

std::string LinuxThreadPriority::raiseCurrentThread() {
    bool refused = false;
    const int fifo = calls_.fifoMinimum();
    if (fifo > 0 && calls_.realtimeLimit() >= static_cast<std::uint64_t>(fifo)) {
        if (calls_.setFifo(fifo) == 0)
            return "SCHED_FIFO " + std::to_string(fifo);
        // Allowed by the limit, refused all the same (a container, a
        // real-time budget of 0 for the user's group): nice is next.
        refused = true;
    }
    // RLIMIT_NICE n allows nice values down to 20 - n, and none is below -20.
    const std::uint64_t limit = std::min<std::uint64_t>(calls_.niceLimit(), 40);
    const int best = 20 - static_cast<int>(limit);
    if (best < calls_.niceValue()) {
        if (calls_.setNice(best) == 0)
            return "nice " + std::to_string(best);
        refused = true;
    }
    return refused ? "normal (refused)" : "normal (not permitted)";
}

}  // namespace quenlor
