#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "analysis/AllanAccumulator.h"
#include "analysis/LinearFit.h"
#include "analysis/NoiseTerms.h"
#include "analysis/WelchAccumulator.h"

namespace quenlor {

// What one channel's analysis tells.
struct ChannelSummary {
    std::int64_t samples = 0;
    double rate = 0.0;
    double mean = 0.0;
    double deviation = 0.0;
    DensityBand band;
    NoiseTerm density;
    NoiseTerms terms;
    // Per degree of temperature, where the temperature spanned at least 1 degree.
    std::optional<LinearFit::Slope> temperatureSlope;
    std::vector<AllanPoint> allan;
    Spectrum spectrum;
};

// One channel's Allan deviation, spectrum, mean and deviation and slope
// against temperature, all kept up to date sample by sample, so a summary of
// a long live run costs little more than one of a short one.
class ChannelAnalysis {
  public:
    // `plannedSamples` chooses the spectrum's segment length, up to `longestSegment`.
    ChannelAnalysis(double rate, std::int64_t plannedSamples,
                    std::int64_t longestSegment = std::int64_t{1} << 16);

    void Append(double sample);
    void Append(double sample, double temperature);
    // Many samples at once, without temperature; faster than one by one.
    void Append(std::span<const double> samples);
    // A gap before the next sample: the curve and the spectrum take only even
    // stretches; the mean, deviation and temperature slope take every sample.
    void Break();

    // The rate as measured once the run is over.
    void SetRate(double rate) { rate_ = rate; }

    // `everyTau`: the Allan deviation at every averaging factor, not octaves.
    std::int64_t Stretches() const { return allan_.Stretches(); }
    ChannelSummary Summary(std::optional<DensityBand> band = std::nullopt,
                           bool everyTau = false) const;
    std::size_t MemoryBytes() const { return allan_.MemoryBytes() + welch_.MemoryBytes(); }

  private:
    void AddMoments(double sample);

    double rate_;
    AllanAccumulator allan_;
    WelchAccumulator welch_;
    LinearFit temperature_;
    std::int64_t n_ = 0;
    double mean_ = 0.0;
    double m2_ = 0.0;
};

}  // namespace quenlor
