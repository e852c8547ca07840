#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <vector>

#include "analysis/AllanConfidence.h"

namespace quenlor {

// One point of an Allan deviation curve.
struct AllanPoint {
    std::int64_t m = 0;  // averaging factor, in samples
    double tau = 0.0;    // averaging time, seconds
    double adev = 0.0;   // overlapping Allan deviation
    double lower = 0.0;  // 68.3 % bounds from the equivalent degrees of freedom
    double upper = 0.0;
    double edf = 0.0;
};

// The overlapping Allan deviation of one channel of evenly spaced samples,
// kept up to date as samples arrive: it holds the running sums of the samples
// and, for each octave averaging factor, the sum of squared differences so
// far, so each new sample costs one term per octave and a curve is read in
// time proportional to the number of octaves.
//
// A series with gaps (samples the reader missed) is a set of even stretches:
// a term never spans a gap, and the curve pools the terms of all stretches.
class AllanAccumulator {
  public:
    void Reserve(std::int64_t samples);
    void Append(double sample);
    void Append(std::span<const double> samples);
    // The next sample starts a new even stretch.
    void Break();

    std::int64_t Count() const { return static_cast<std::int64_t>(sums_.size()) - 1; }
    std::int64_t Stretches() const { return static_cast<std::int64_t>(starts_.size()); }
    std::int64_t LongestStretch() const;

    // Averaging factors 1, 2, 4, ... up to a quarter of the longest stretch.
    std::vector<AllanPoint> Octaves(double rate) const;
    // Every averaging factor up to a quarter of the samples; each costs a
    // pass over the samples, so this is for short series.
    std::vector<AllanPoint> EveryTau(double rate) const;

    // Bytes held for the samples' sums.
    std::size_t MemoryBytes() const { return sums_.capacity() * sizeof(double); }

  private:
    struct Octave {
        std::int64_t m = 0;
        std::int64_t next = 0;   // the first term not yet added
        std::int64_t terms = 0;  // terms added, over all stretches
        double squares = 0.0;
    };

    void Advance(std::int64_t added);
    double Squares(std::int64_t m, std::int64_t begin, std::int64_t end) const;
    double Variance(std::int64_t m) const;
    double Dof(NoiseType type, std::int64_t m) const;
    std::vector<AllanPoint> Curve(std::vector<std::int64_t> ms, std::vector<double> variances,
                                  double rate) const;

    // sums_[k] is the sum of the first k samples less the first sample each,
    // which keeps the sums small while the mean stays near the first sample.
    std::vector<double> sums_{0.0};
    double origin_ = 0.0;
    std::vector<Octave> octaves_;
    // The first sample of each stretch; the finished stretches' lengths, counted.
    std::vector<std::int64_t> starts_{0};
    std::map<std::int64_t, std::int64_t> finished_;
    std::int64_t longestFinished_ = 0;
};

}  // namespace quenlor
