#include "analysis/NoiseRun.h"

#include <algorithm>

#include "analysis/SampleStream.h"

namespace quenlor {

namespace {

// Intervals the run's spacing is learnt from.
constexpr std::size_t kLearnIntervals = 32;
constexpr double kGapFactor = 1.5;
constexpr std::size_t kBinsPerPeriod = 1000;
// The spectrum's segments are kept short enough that the stretches between
// missed samples fill some: 1024 samples hold the noise density's band in
// hundreds of bins at any rate.
constexpr std::int64_t kLongestSegment = 1024;

}  // namespace

NoiseRun::NoiseRun(std::vector<std::string> channels, double plannedSeconds)
    : labels_(std::move(channels)), plannedSeconds_(plannedSeconds) {
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
    if (period_ == 0.0 && times_.size() > kLearnIntervals)
        Learn();
    for (; period_ > 0.0 && fed_ < times_.size(); ++fed_)
        Feed(fed_);
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
    intervalBins_.assign(2 * kBinsPerPeriod, 0);
    analyses_.clear();
    for (std::size_t c = 0; c < labels_.size(); ++c)
        analyses_.emplace_back(rate, planned, kLongestSegment);
}

void NoiseRun::Feed(std::size_t sample) {
    if (sample > 0) {
        const double interval = times_[sample] - times_[sample - 1];
        const double bin = interval / period_ * static_cast<double>(kBinsPerPeriod);
        if (bin >= 0.0 && bin < static_cast<double>(intervalBins_.size()))
            ++intervalBins_[static_cast<std::size_t>(bin)];
        ++intervals_;
        if (breaks_[sample] || !(interval > 0.0) || interval > kGapFactor * period_) {
            ++gaps_;
            largestGap_ = std::max(largestGap_, interval);
            for (ChannelAnalysis& a : analyses_)
                a.Break();
        }
    }
    const float* v = values_.data() + sample * labels_.size();
    for (std::size_t c = 0; c < analyses_.size(); ++c) {
        if (temperature_ >= 0 && static_cast<std::ptrdiff_t>(c) != temperature_)
            analyses_[c].Append(v[c], v[temperature_]);
        else
            analyses_[c].Append(v[c]);
    }
}

double NoiseRun::Rate() const {
    if (intervals_ == 0)
        return period_ > 0.0 ? 1.0 / period_ : 0.0;
    // Shorter ones first: the bin that holds the middle interval, and where in it.
    std::int64_t below = 0;
    const double half = static_cast<double>(intervals_) / 2.0;
    for (std::size_t b = 0; b < intervalBins_.size(); ++b) {
        const auto count = static_cast<double>(intervalBins_[b]);
        if (static_cast<double>(below) + count >= half) {
            const double within = count > 0.0 ? (half - static_cast<double>(below)) / count : 0.5;
            const double bins = static_cast<double>(b) + within;
            return static_cast<double>(kBinsPerPeriod) / (bins * period_);
        }
        below += intervalBins_[b];
    }
    return 1.0 / period_;
}

std::vector<NamedSummary> NoiseRun::Summaries(std::optional<DensityBand> band) {
    // A run shorter than the learning learns from what it has.
    if (period_ == 0.0 && times_.size() >= 3)
        Learn();
    for (; period_ > 0.0 && fed_ < times_.size(); ++fed_)
        Feed(fed_);
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
