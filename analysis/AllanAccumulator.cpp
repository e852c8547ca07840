#include "analysis/AllanAccumulator.h"

#include <algorithm>
#include <cmath>

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
    Advance(static_cast<std::int64_t>(samples.size()));
}

void AllanAccumulator::Break() {
    const std::int64_t start = starts_.back();
    if (Count() == start)
        return;
    const std::int64_t length = Count() - start;
    ++finished_[length];
    longestFinished_ = std::max(longestFinished_, length);
    starts_.push_back(Count());
}

std::int64_t AllanAccumulator::LongestStretch() const {
    return std::max(longestFinished_, Count() - starts_.back());
}

// Adds the terms each octave can take since the last call: the term at i
// needs the sums from i to i + 2m, all within the stretch being filled. An
// octave begins once this stretch holds two of its averages; no stretch
// before could hold one, or it would have begun then.
void AllanAccumulator::Advance(std::int64_t added) {
    const std::int64_t n = Count();
    const std::int64_t start = starts_.back();
    while ((octaves_.empty() ? 1 : 2 * octaves_.back().m) * 2 <= n - start)
        octaves_.push_back({octaves_.empty() ? 1 : 2 * octaves_.back().m, start, 0, 0.0});
    for (Octave& o : octaves_)
        o.next = std::max(o.next, start);
    auto take = [](Octave& o, std::int64_t end, double squares) {
        o.squares += squares;
        o.terms += end - o.next;
        o.next = end;
    };
    // In blocks of terms, every octave in turn: octave m reads the sums at
    // i + m and i + 2m, the next one's at i + 2m and i + 4m, so a block's sums
    // are read from the cache for all octaves but the first.
    // A few new samples take a few terms per octave, straight.
    constexpr std::int64_t kBlock = 4096;
    if (added < kBlock) {
        for (Octave& o : octaves_) {
            const std::int64_t end = n - 2 * o.m + 1;
            if (o.next < end)
                take(o, end, Squares(o.m, o.next, end));
        }
        return;
    }
    std::int64_t begin = n;
    for (const Octave& o : octaves_)
        begin = std::min(begin, o.next);
    for (std::int64_t b = begin; b < n; b += kBlock) {
        for (Octave& o : octaves_) {
            const std::int64_t end = std::min(b + kBlock, n - 2 * o.m + 1);
            if (o.next < end)
                take(o, end, Squares(o.m, o.next, end));
        }
    }
}

// The sum of squared second differences of the sums, m apart, for the terms
// [begin, end). Four running sums let the additions overlap.
double AllanAccumulator::Squares(std::int64_t m, std::int64_t begin, std::int64_t end) const {
    const double* s = sums_.data();
    double a[4] = {0.0, 0.0, 0.0, 0.0};
    std::int64_t i = begin;
    for (; i + 4 <= end; i += 4) {
        for (int k = 0; k < 4; ++k) {
            const double d = s[i + k + 2 * m] - 2.0 * s[i + k + m] + s[i + k];
            a[k] += d * d;
        }
    }
    for (; i < end; ++i) {
        const double d = s[i + 2 * m] - 2.0 * s[i + m] + s[i];
        a[0] += d * d;
    }
    return (a[0] + a[1]) + (a[2] + a[3]);
}

// Over every stretch long enough for a term at m.
double AllanAccumulator::Variance(std::int64_t m) const {
    double squares = 0.0;
    std::int64_t terms = 0;
    for (std::size_t k = 0; k < starts_.size(); ++k) {
        const std::int64_t end = k + 1 < starts_.size() ? starts_[k + 1] : Count();
        const std::int64_t last = end - 2 * m + 1;
        if (last > starts_[k]) {
            squares += Squares(m, starts_[k], last);
            terms += last - starts_[k];
        }
    }
    const double md = static_cast<double>(m);
    return squares / (2.0 * md * md * static_cast<double>(terms));
}

std::vector<AllanPoint> AllanAccumulator::Octaves(double rate) const {
    std::vector<std::int64_t> ms;
    std::vector<double> variances;
    const std::int64_t longest = LongestStretch();
    for (const Octave& o : octaves_) {
        if (o.m * 4 > longest)
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
    for (std::int64_t m = 1; m * 4 <= LongestStretch(); ++m) {
        ms.push_back(m);
        variances.push_back(Variance(m));
    }
    return Curve(std::move(ms), std::move(variances), rate);
}

// The stretches' degrees of freedom add up, as their terms do.
double AllanAccumulator::Dof(NoiseType type, std::int64_t m) const {
    const std::int64_t current = Count() - starts_.back();
    double dof = current > 2 * m ? EquivalentDof(type, current, m) : 0.0;
    for (auto it = finished_.upper_bound(2 * m); it != finished_.end(); ++it)
        dof += static_cast<double>(it->second) * EquivalentDof(type, it->first, m);
    return std::max(dof, 1.0);
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
        p.edf = Dof(NoiseTypeOfSlope(slope), p.m);
        const DeviationBounds bounds = ChiSquaredBounds(p.adev, p.edf);
        p.lower = bounds.lower;
        p.upper = bounds.upper;
    }
    return points;
}

}  // namespace quenlor
