#include "analysis/NoiseRun.h"

#include <algorithm>
#include <cmath>

#include "analysis/SampleStream.h"

namespace quenlor {

namespace {

// Intervals the run's spacing is learnt from, under a second's worth.
constexpr std::size_t kLearnIntervals = 256;
// A cluster of intervals: those within a tenth of one.
constexpr double kClusterWidth = 0.1;
constexpr std::size_t kFairShare = 3;
constexpr double kGapFactor = 1.5;
// The rate counts the intervals in whole periods: a reading seen late
// shortens the next interval by as much, so the two count right. A long gap
// (a stalled reader) is left out with the interval after it, which its late
// end shortens: a period slightly off would miscount the one and the other
// the rounding of.
constexpr double kCountedPeriods = 10.0;
// The spectrum's segments are kept short enough that the stretches between
// missed samples fill some: 256 samples hold the noise density's band (a
// decade below a quarter of the rate) in some 58 bins at any rate.
constexpr std::int64_t kLongestSegment = 256;

}  // namespace

NoiseRun::NoiseRun(std::vector<std::string> channels, double plannedSeconds, bool keepSamples)
    : labels_(std::move(channels)), plannedSeconds_(plannedSeconds), keep_(keepSamples) {
    const auto t = std::find(labels_.begin(), labels_.end(), "TEMP_OUT");
    if (t != labels_.end())
        temperature_ = t - labels_.begin();
}

void NoiseRun::Add(double seconds, std::span<const float> values) {
    times_.push_back(seconds);
    values_.insert(values_.end(), values.begin(), values.end());
    values_.resize(times_.size() * labels_.size());
    breaks_.push_back(breakNext_);
    breakNext_ = false;
    ++samples_;
    if (period_ == 0.0 && times_.size() > kLearnIntervals)
        Learn();
    FeedWaiting();
}

void NoiseRun::FeedWaiting() {
    if (period_ == 0.0)
        return;
    for (; fed_ < times_.size(); ++fed_)
        Feed(fed_);
    if (!keep_) {
        times_.clear();
        values_.clear();
        breaks_.clear();
        fed_ = 0;
    }
}

// The data-ready period: the intervals gather around it and its multiples
// (missed samples), spread by how late each reading was seen. The densest
// cluster is the period, unless the reader missed every other sample at first
// so often that the cluster at half its interval holds a fair share too.
void NoiseRun::Learn() {
    std::vector<double> d;
    for (std::size_t i = 1; i < times_.size(); ++i) {
        if (times_[i] > times_[i - 1])
            d.push_back(times_[i] - times_[i - 1]);
    }
    if (d.empty())
        return;
    std::sort(d.begin(), d.end());
    // How many intervals lie within a tenth of each one.
    std::vector<std::size_t> near(d.size());
    for (std::size_t i = 0, lo = 0, hi = 0; i < d.size(); ++i) {
        while (d[lo] < d[i] * (1.0 - kClusterWidth))
            ++lo;
        while (hi < d.size() && d[hi] <= d[i] * (1.0 + kClusterWidth))
            ++hi;
        near[i] = hi - lo;
    }
    // The densest cluster, or the one at half its interval where that holds
    // a fair share: then the densest was every other sample.
    const auto densest = std::max_element(near.begin(), near.end()) - near.begin();
    double centre = d[static_cast<std::size_t>(densest)];
    // The lateness that spreads a cluster is the same at any interval: the
    // half is counted over as wide a window.
    const double width = centre * kClusterWidth;
    const auto half = std::upper_bound(d.begin(), d.end(), centre / 2.0 + width) -
                      std::lower_bound(d.begin(), d.end(), centre / 2.0 - width);
    if (static_cast<std::size_t>(half) * kFairShare >= near[static_cast<std::size_t>(densest)])
        centre /= 2.0;
    const auto lo = std::lower_bound(d.begin(), d.end(), centre - width);
    const auto hi = std::upper_bound(d.begin(), d.end(), centre + width);
    period_ = *(lo + (hi - lo) / 2);
    // Then every interval counted in whole periods, as the rate is.
    double seconds = 0.0, periods = 0.0;
    for (double x : d) {
        if (std::round(x / period_) <= kCountedPeriods) {
            seconds += x;
            periods += std::round(x / period_);
        }
    }
    period_ = periods > 0.0 ? seconds / periods : period_;
    const double rate = 1.0 / period_;
    const auto planned = static_cast<std::int64_t>(std::max(plannedSeconds_ * rate, 16.0));
    analyses_.clear();
    for (std::size_t c = 0; c < labels_.size(); ++c)
        analyses_.emplace_back(rate, planned, kLongestSegment);
}

void NoiseRun::Feed(std::size_t sample) {
    if (fedCount_ > 0) {
        const double interval = times_[sample] - lastFed_;
        const double periods = std::round(interval / period_);
        if (interval > 0.0 && periods <= kCountedPeriods && !afterLongGap_) {
            periods_ += static_cast<std::int64_t>(periods);
            periodSeconds_ += interval;
        }
        afterLongGap_ = periods > kCountedPeriods;
        if (breaks_[sample] || !(interval > 0.0) || interval > kGapFactor * period_) {
            ++gaps_;
            largestGap_ = std::max(largestGap_, interval);
            for (ChannelAnalysis& a : analyses_)
                a.Break();
        }
    }
    lastFed_ = times_[sample];
    ++fedCount_;
    const float* v = values_.data() + sample * labels_.size();
    for (std::size_t c = 0; c < analyses_.size(); ++c) {
        if (temperature_ >= 0 && static_cast<std::ptrdiff_t>(c) != temperature_)
            analyses_[c].Append(v[c], v[temperature_]);
        else
            analyses_[c].Append(v[c]);
    }
}

double NoiseRun::Rate() const {
    if (periods_ == 0)
        return period_ > 0.0 ? 1.0 / period_ : 0.0;
    return static_cast<double>(periods_) / periodSeconds_;
}

std::vector<NamedSummary> NoiseRun::Summaries(std::optional<DensityBand> band) {
    // A run shorter than the learning learns from what it has.
    if (period_ == 0.0 && times_.size() >= 3)
        Learn();
    FeedWaiting();
    std::vector<NamedSummary> rows;
    if (period_ == 0.0)
        return rows;
    for (std::size_t c = 0; c < analyses_.size(); ++c) {
        analyses_[c].SetRate(Rate());
        rows.push_back({"", labels_[c], analyses_[c].Summary(band)});
    }
    return rows;
}

std::string NoiseRun::StreamText() const {
    std::string out = StreamHeaderLine(labels_, true) + "\n";
    std::string line;
    for (std::size_t s = 0; s < times_.size(); ++s) {
        line = StreamTimeField(times_[s]);
        for (std::size_t c = 0; c < labels_.size(); ++c)
            line += "," + StreamValueField(values_[s * labels_.size() + c]);
        out += line + "\n";
    }
    return out;
}

}  // namespace quenlor
