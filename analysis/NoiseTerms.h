#pragma once

#include <vector>

#include "analysis/AllanAccumulator.h"
#include "analysis/WelchAccumulator.h"

namespace quenlor {

// A term read off the curve; `observed` is false where the curve does not
// show the slope it needs.
struct NoiseTerm {
    bool observed = false;
    double value = 0.0;
    double tau = 0.0;  // where it was read (bias instability: the minimum)
};

struct NoiseTerms {
    NoiseTerm white;            // the slope -1/2 line at tau = 1 s (unit * sqrt(s))
    NoiseTerm biasInstability;  // sigma_min / 0.664 at the flat minimum (unit)
    NoiseTerm randomWalk;       // the slope +1/2 line at tau = 3 s (unit / sqrt(s))
};

// The terms as the usual fits read them, from the points a term can trust
// (at least `minEdf` equivalent degrees of freedom).
NoiseTerms ReadNoiseTerms(const std::vector<AllanPoint>& curve, double minEdf = 8.0);

struct DensityBand {
    double low = 0.0;  // hertz
    double high = 0.0;
};

// The default band: a decade below a quarter of the rate.
DensityBand DefaultDensityBand(double rate);

// The median of the spectrum's square root over the band (unit / sqrt(Hz));
// not observed when no bin lies in the band.
NoiseTerm NoiseDensity(const Spectrum& spectrum, DensityBand band);

}  // namespace quenlor
