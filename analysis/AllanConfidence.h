#pragma once

#include <cstdint>

namespace quenlor {

// The power-law noise whose Allan deviation falls or rises with the slope
// seen on the log-log curve.
enum class NoiseType {
    WhitePhase,   // slope -1 (quantisation at the shortest times)
    WhiteRate,    // slope -1/2: white noise of the reading
    FlickerRate,  // slope 0: bias instability
    RandomWalk,   // slope +1/2: rate random walk
};

// The noise type nearest a log-log slope of the Allan deviation.
NoiseType NoiseTypeOfSlope(double slope);

// Equivalent degrees of freedom of an overlapping Allan variance at averaging
// factor m over `samples` readings, for the given noise type (the usual
// closed forms of Howe, Allan and Barnes; at least 1).
double EquivalentDof(NoiseType type, std::int64_t samples, std::int64_t m);

// Quantile of the chi-squared distribution with `dof` degrees of freedom at
// the standard normal score z (Wilson and Hilferty's cube-root approximation,
// within a few per cent down to one degree of freedom).
double ChiSquaredQuantile(double dof, double z);

// Bounds of a deviation from a variance estimate with `dof` degrees of
// freedom, at one standard normal score either side (68.3 %).
struct DeviationBounds {
    double lower = 0.0;
    double upper = 0.0;
};
DeviationBounds ChiSquaredBounds(double deviation, double dof);

}  // namespace quenlor
