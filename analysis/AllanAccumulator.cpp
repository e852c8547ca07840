#include "analysis/AllanAccumulator.h"

#include <cmath>

#include "analysis/AllanConfidence.h"

namespace quenlor {

void AllanAccumulator::Reserve(std::int64_t samples) {
    if (samples > 0)
        sums_.reserve(static_cast<std::size_t>(samples) + 1);
}

void AllanAccumulator::Append(double sample) {
    Append(std::span<const double>(&sample, 1));
}

void AllanAccumulator::Append(std::span<const double> samples) {
    if (samples.empty())
        return;
    if (Count() == 0)
        origin_ = samples.front();
    double sum = sums_.back();
    for (double y : samples) {
        sum += y - origin_;
        sums_.push_back(sum);
    }
    Advance();
}

// Adds the terms each octave can take since the last call: the term at i
// needs the sums up to i + 2m.
void AllanAccumulator::Advance() {
    const std::int64_t n = Count();
    while ((octaves_.empty() ? 1 : 2 * octaves_.back().m) * 2 <= n)
        octaves_.push_back({octaves_.empty() ? 1 : 2 * octaves_.back().m, 0, 0.0});
    const double* s = sums_.data();
    for (Octave& o : octaves_) {
        const std::int64_t m = o.m;
        double squares = 0.0;
        for (std::int64_t i = o.terms; i + 2 * m <= n; ++i) {
            const double d = s[i + 2 * m] - 2.0 * s[i + m] + s[i];
            squares += d * d;
        }
        o.squares += squares;
        o.terms = n - 2 * m + 1;
    }
}

double AllanAccumulator::Variance(std::int64_t m) const {
    const std::int64_t n = Count();
    const double* s = sums_.data();
    double squares = 0.0;
    for (std::int64_t i = 0; i + 2 * m <= n; ++i) {
        const double d = s[i + 2 * m] - 2.0 * s[i + m] + s[i];
        squares += d * d;
    }
    const double md = static_cast<double>(m);
    return squares / (2.0 * md * md * static_cast<double>(n - 2 * m + 1));
}

std::vector<AllanPoint> AllanAccumulator::Octaves(double rate) const {
    std::vector<std::int64_t> ms;
    std::vector<double> variances;
    for (const Octave& o : octaves_) {
        if (o.m * 4 > Count())
            break;
        const double md = static_cast<double>(o.m);
        ms.push_back(o.m);
        variances.push_back(o.squares / (2.0 * md * md * static_cast<double>(o.terms)));
    }
    return Curve(std::move(ms), std::move(variances), rate);
}

std::vector<AllanPoint> AllanAccumulator::EveryTau(double rate) const {
    std::vector<std::int64_t> ms;
    std::vector<double> variances;
    for (std::int64_t m = 1; m * 4 <= Count(); ++m) {
        ms.push_back(m);
        variances.push_back(Variance(m));
    }
    return Curve(std::move(ms), std::move(variances), rate);
}

// The points with their bounds; each point's noise type is the one of the
// curve's slope through its neighbours.
std::vector<AllanPoint> AllanAccumulator::Curve(std::vector<std::int64_t> ms,
                                                std::vector<double> variances, double rate) const {
    std::vector<AllanPoint> points(ms.size());
    for (std::size_t k = 0; k < ms.size(); ++k) {
        points[k].m = ms[k];
        points[k].tau = static_cast<double>(ms[k]) / rate;
        points[k].adev = std::sqrt(variances[k]);
    }
    for (std::size_t k = 0; k < points.size(); ++k) {
        const AllanPoint& a = points[k == 0 ? 0 : k - 1];
        const AllanPoint& b = points[k + 1 < points.size() ? k + 1 : k];
        double slope = -0.5;
        if (a.m != b.m && a.adev > 0.0 && b.adev > 0.0)
            slope = std::log(b.adev / a.adev) / std::log(b.tau / a.tau);
        AllanPoint& p = points[k];
        p.edf = EquivalentDof(NoiseTypeOfSlope(slope), Count(), p.m);
        const DeviationBounds bounds = ChiSquaredBounds(p.adev, p.edf);
        p.lower = bounds.lower;
        p.upper = bounds.upper;
    }
    return points;
}

}  // namespace quenlor
