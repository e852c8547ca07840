#include "ui/QtClock.h"

#include <QTime>

namespace quenlor {

float QtClock::secondsSinceMidnight() {
    return static_cast<float>(QTime::currentTime().msecsSinceStartOfDay()) / 1000.0f;
}

}  // namespace quenlor
