#pragma once

#include <array>
#include <cstddef>
#include <functional>

#include "platform/Clock.h"
#include "regmap/RegisterTable.h"
#include "spi/RegisterAccess.h"

namespace quenlor {

// One acceleration axis over a measurement, in g.
struct AxisReading {
    double mean = 0.0;
    double deviation = 0.0;  // of the samples
    double error = 0.0;      // standard error of the mean
};

struct OffsetMeasurement {
    std::array<AxisReading, 3> axes{};  // XACCL_OUT, YACCL_OUT, ZACCL_OUT
    std::size_t samples = 0;
    bool stopped = false;  // the progress hook asked to stop
};

// Told the fraction done now and then; false stops the measurement.
using NullProgress = std::function<bool(double fraction)>;

// Reads XACCL_OUT, YACCL_OUT and ZACCL_OUT once per data-ready sample (DIAG_STAT
// bit 7) for `seconds` of the monotonic clock, after passing over the samples
// of the first `settle` seconds (at least two): a sample taken before the
// nulls were written, or still in the sensor's averaging, would count as motion.
OffsetMeasurement MeasureOffsets(RegisterAccess& registers, const RegisterTable& table,
                                 Clock& clock, double seconds, double settle,
                                 const NullProgress& progress);

}  // namespace quenlor
