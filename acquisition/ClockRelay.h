#pragma once

#include "acquisition/AcquisitionEngine.h"
#include "platform/Clock.h"

namespace quenlor {

// The clock for work on the engine's worker: the monotonic clock is read
// where it is asked (it takes no lock and no toolkit), the wall clock on the
// owner's thread, where the window's clock may ask the toolkit.
class ClockRelay : public Clock {
  public:
    ClockRelay(Clock& target, AcquisitionEngine& engine) : target_(target), engine_(engine) {}

    float secondsSinceMidnight() override;
    std::int64_t monotonicNanoseconds() override { return target_.monotonicNanoseconds(); }
    LocalDateTime localDateTime() override;

  private:
    Clock& target_;
    AcquisitionEngine& engine_;
};

}  // namespace quenlor
