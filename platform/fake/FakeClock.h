#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/Clock.h"

namespace quenlor {

// Answers from a script of readings; after the script it repeats the last one
// (or `now` when there is no script). The monotonic clock reads `monotonic`,
// which only the test moves.
class FakeClock : public Clock {
  public:
    float now = 0.0f;
    std::vector<float> script;
    std::size_t reads = 0;
    std::int64_t monotonic = 0;
    std::size_t monotonicReads = 0;
    LocalDateTime date{2026, 12, 8, 23, 29, 36};

    float secondsSinceMidnight() override {
        float t = now;
        if (!script.empty())
            t = script[reads < script.size() ? reads : script.size() - 1];
        ++reads;
        return t;
    }
    std::int64_t monotonicNanoseconds() override {
        ++monotonicReads;
        return monotonic;
    }
    LocalDateTime localDateTime() override { return date; }
};

}  // namespace quenlor
