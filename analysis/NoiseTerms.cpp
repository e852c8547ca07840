#include "analysis/NoiseTerms.h"

#include <algorithm>
#include <cmath>

namespace quenlor {

namespace {

// The slope of the log-log curve from point a to point b.
double Slope(const AllanPoint& a, const AllanPoint& b) {
    return std::log(b.adev / a.adev) / std::log(b.tau / a.tau);
}

// The line of slope `power` through the points, weighted by their degrees of
// freedom, evaluated at `at` seconds.
NoiseTerm LineAt(const std::vector<const AllanPoint*>& points, double power, double at) {
    double weighted = 0.0;
    double weights = 0.0;
    for (const AllanPoint* p : points) {
        weighted += p->edf * std::log(p->adev * std::pow(at / p->tau, power));
        weights += p->edf;
    }
    if (weights <= 0.0)
        return {};
    return {true, std::exp(weighted / weights), at};
}

// The trusted points on segments whose slope is within a quarter of `power`.
std::vector<const AllanPoint*> OnSlope(const std::vector<AllanPoint>& curve, std::size_t begin,
                                       std::size_t end, double power) {
    std::vector<const AllanPoint*> points;
    for (std::size_t k = begin; k + 1 < end; ++k) {
        if (std::abs(Slope(curve[k], curve[k + 1]) - power) > 0.25)
            continue;
        if (points.empty() || points.back() != &curve[k])
            points.push_back(&curve[k]);
        points.push_back(&curve[k + 1]);
    }
    return points;
}

}  // namespace

NoiseTerms ReadNoiseTerms(const std::vector<AllanPoint>& curve, double minEdf) {
    std::size_t end = 0;
    while (end < curve.size() && curve[end].edf >= minEdf && curve[end].adev > 0.0)
        ++end;
    NoiseTerms terms;
    if (end < 2)
        return terms;
    const auto lowest = static_cast<std::size_t>(
        std::min_element(curve.begin(), curve.begin() + static_cast<long>(end),
                         [](const AllanPoint& a, const AllanPoint& b) { return a.adev < b.adev; }) -
        curve.begin());
    terms.white = LineAt(OnSlope(curve, 0, lowest + 1, -0.5), -0.5, 1.0);

    // A minimum is a flat floor only when the curve has left the white-noise
    // line by more than its bounds there, and it is not the last point.
    const AllanPoint& floor = curve[lowest];
    const bool aboveWhite =
        !terms.white.observed || floor.lower > terms.white.value / std::sqrt(floor.tau);
    if (lowest > 0 && lowest + 1 < end && aboveWhite)
        terms.biasInstability = {true, floor.adev / 0.664, floor.tau};

    // The rise after the minimum, where it is clear of the minimum's bounds.
    std::vector<const AllanPoint*> rising;
    for (const AllanPoint* p : OnSlope(curve, lowest, end, 0.5)) {
        if (p->lower > floor.upper)
            rising.push_back(p);
    }
    terms.randomWalk = LineAt(rising, 0.5, 3.0);
    return terms;
}

DensityBand DefaultDensityBand(double rate) {
    return {rate / 40.0, rate / 4.0};
}

NoiseTerm NoiseDensity(const Spectrum& spectrum, DensityBand band) {
    std::vector<double> roots;
    for (std::size_t k = 1; k < spectrum.density.size(); ++k) {
        const double f = static_cast<double>(k) * spectrum.binWidth;
        if (f >= band.low && f <= band.high)
            roots.push_back(std::sqrt(spectrum.density[k]));
    }
    if (roots.empty())
        return {};
    const auto middle = roots.begin() + static_cast<long>(roots.size() / 2);
    std::nth_element(roots.begin(), middle, roots.end());
    double median = *middle;
    if (roots.size() % 2 == 0)
        median = (median + *std::max_element(roots.begin(), middle)) / 2.0;
    return {true, median, 0.0};
}

}  // namespace quenlor
