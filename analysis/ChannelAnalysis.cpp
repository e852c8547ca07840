#include "analysis/ChannelAnalysis.h"

#include <algorithm>
#include <cmath>

namespace quenlor {

namespace {

constexpr double kLeastTemperatureSpan = 1.0;

}  // namespace

ChannelAnalysis::ChannelAnalysis(double rate, std::int64_t plannedSamples,
                                 std::int64_t longestSegment)
    : rate_(rate),
      welch_(std::min(WelchAccumulator::SegmentLengthFor(plannedSamples), longestSegment)) {
    allan_.Reserve(plannedSamples);
}

void ChannelAnalysis::AddMoments(double sample) {
    ++n_;
    const double d = sample - mean_;
    mean_ += d / static_cast<double>(n_);
    m2_ += d * (sample - mean_);
}

void ChannelAnalysis::Append(double sample) {
    AddMoments(sample);
    allan_.Append(sample);
    welch_.Append(sample);
}

void ChannelAnalysis::Append(double sample, double temperature) {
    Append(sample);
    temperature_.Add(temperature, sample);
}

void ChannelAnalysis::Append(std::span<const double> samples) {
    // Chan's merge of the block's own mean and squares: no division per sample.
    if (!samples.empty()) {
        double mean = 0.0;
        for (double y : samples)
            mean += y - samples.front();
        mean = samples.front() + mean / static_cast<double>(samples.size());
        double m2 = 0.0;
        for (double y : samples)
            m2 += (y - mean) * (y - mean);
        const double count = static_cast<double>(samples.size());
        const double total = static_cast<double>(n_) + count;
        const double delta = mean - mean_;
        m2_ += m2 + delta * delta * static_cast<double>(n_) * count / total;
        mean_ += delta * count / total;
        n_ += static_cast<std::int64_t>(samples.size());
    }
    allan_.Append(samples);
    welch_.Append(samples);
}

void ChannelAnalysis::Break() {
    allan_.Break();
    welch_.Break();
}

ChannelSummary ChannelAnalysis::Summary(std::optional<DensityBand> band, bool everyTau) const {
    ChannelSummary s;
    s.samples = n_;
    s.rate = rate_;
    s.mean = mean_;
    s.deviation = n_ > 1 ? std::sqrt(m2_ / static_cast<double>(n_ - 1)) : 0.0;
    s.band = band.value_or(DefaultDensityBand(rate_));
    s.spectrum = welch_.Density(rate_);
    s.density = NoiseDensity(s.spectrum, s.band);
    s.allan = everyTau ? allan_.EveryTau(rate_) : allan_.Octaves(rate_);
    // Noise terms are read off the octaves: every-tau points are not independent.
    s.terms = ReadNoiseTerms(everyTau ? allan_.Octaves(rate_) : s.allan);
    if (temperature_.XSpan() >= kLeastTemperatureSpan)
        s.temperatureSlope = temperature_.Fit();
    return s;
}

}  // namespace quenlor
