#include "analysis/AllanConfidence.h"

#include <algorithm>
#include <cmath>

namespace quenlor {

NoiseType NoiseTypeOfSlope(double slope) {
    if (slope < -0.75)
        return NoiseType::WhitePhase;
    if (slope < -0.25)
        return NoiseType::WhiteRate;
    if (slope < 0.25)
        return NoiseType::FlickerRate;
    return NoiseType::RandomWalk;
}

double EquivalentDof(NoiseType type, std::int64_t samples, std::int64_t m) {
    // The closed forms count phase points: one more than the readings.
    const double n = static_cast<double>(samples) + 1.0;
    const double t = static_cast<double>(m);
    double edf = 1.0;
    switch (type) {
        case NoiseType::WhitePhase:
            edf = (n + 1.0) * (n - 2.0 * t) / (2.0 * (n - t));
            break;
        case NoiseType::WhiteRate:
            edf = (3.0 * (n - 1.0) / (2.0 * t) - 2.0 * (n - 2.0) / n) * 4.0 * t * t /
                  (4.0 * t * t + 5.0);
            break;
        case NoiseType::FlickerRate:
            edf = m == 1 ? 2.0 * (n - 2.0) / (2.3 * n - 4.9)
                         : 5.0 * n * n / (4.0 * t * (n + 3.0 * t));
            break;
        case NoiseType::RandomWalk:
            edf = (n - 2.0) / t * ((n - 1.0) * (n - 1.0) - 3.0 * t * (n - 1.0) + 4.0 * t * t) /
                  ((n - 3.0) * (n - 3.0));
            break;
    }
    return std::isfinite(edf) ? std::max(edf, 1.0) : 1.0;
}

double ChiSquaredQuantile(double dof, double z) {
    const double k = std::max(dof, 1.0);
    const double a = 2.0 / (9.0 * k);
    const double base = std::max(1.0 - a + z * std::sqrt(a), 1e-3);
    return k * base * base * base;
}

DeviationBounds ChiSquaredBounds(double deviation, double dof) {
    const double k = std::max(dof, 1.0);
    return {deviation * std::sqrt(k / ChiSquaredQuantile(k, 1.0)),
            deviation * std::sqrt(k / ChiSquaredQuantile(k, -1.0))};
}

}  // namespace quenlor
