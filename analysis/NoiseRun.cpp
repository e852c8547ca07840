#include "analysis/NoiseRun.h"

#include <algorithm>
#include <cmath>

#include "analysis/SampleStream.h"

namespace quenlor {

namespace {

// Intervals the run's spacing is learnt from.
constexpr std::size_t kLearnIntervals = 32;
constexpr double kGapFactor = 1.5;
// The rate counts every interval in whole periods: a reading seen late
// shortens the next interval by as much, and a gap's count is off by a
// period at most, so the count over a run is right to a few periods.
constexpr std::int64_t kRelearnPeriods = 256;
// The spectrum's segments are kept short enough that the stretches between
// missed samples fill some: 1024 samples hold the noise density's band in
// hundreds of bins at any rate.
constexpr std::int64_t kLongestSegment = 1024;

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

// The median interval of the samples so far.
void NoiseRun::Learn() {
    std::vector<double> intervals;
    for (std::size_t i = 1; i < times_.size(); ++i)
        intervals.push_back(times_[i] - times_[i - 1]);
    const auto middle = intervals.begin() + static_cast<std::ptrdiff_t>(intervals.size() / 2);
    std::nth_element(intervals.begin(), middle, intervals.end());
    if (!(*middle > 0.0))
        return;
    period_ = *middle;
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
        if (interval > 0.0) {
            periods_ += static_cast<std::int64_t>(periods);
            periodSeconds_ += interval;
            // The first intervals are few and may be late: the count so far
            // learns the period better, now and then.
            if (periods_ % kRelearnPeriods == 0 && periods > 0.0)
                period_ = periodSeconds_ / static_cast<double>(periods_);
        }
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
