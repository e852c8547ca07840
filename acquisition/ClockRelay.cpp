#include "acquisition/ClockRelay.h"

namespace quenlor {

float ClockRelay::secondsSinceMidnight() {
    if (engine_.OnOwnerThread())
        return target_.secondsSinceMidnight();
    float seconds = 0.0f;
    engine_.RunOnOwner([&] { seconds = target_.secondsSinceMidnight(); });
    return seconds;
}

LocalDateTime ClockRelay::localDateTime() {
    if (engine_.OnOwnerThread())
        return target_.localDateTime();
    LocalDateTime now;
    engine_.RunOnOwner([&] { now = target_.localDateTime(); });
    return now;
}

}  // namespace quenlor
