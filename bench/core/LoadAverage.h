#pragma once

#include <cstdlib>

namespace quenlor {

// The system's one-minute load average, reported beside figures that depend
// on it; -1 where the system does not tell.
inline double LoadAverage() {
    double load = -1.0;
#if defined(__linux__)
    if (getloadavg(&load, 1) != 1)
        load = -1.0;
#endif
    return load;
}

}  // namespace quenlor
