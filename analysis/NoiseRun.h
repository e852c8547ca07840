#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "analysis/ChannelAnalysis.h"
#include "analysis/NoiseReport.h"

namespace quenlor {

// A live run of several outputs, analysed as the samples come. The interval
// between samples is learnt from the first ones; an interval over 1.5 times
// it (a data-ready the reader missed) is a gap, and the curves and spectra
// take only the even stretches between gaps, so missed samples never stretch
// the averaging times. The samples are kept for the stream file.
class NoiseRun {
  public:
    // `channels`: register labels; TEMP_OUT among them gives the others their
    // slope against temperature. `plannedSeconds` sizes the spectrum's
    // segments. Without `keepSamples` only the analysis' running sums stay.
    NoiseRun(std::vector<std::string> channels, double plannedSeconds, bool keepSamples = true);

    // One sample of every channel, `seconds` after the run began.
    void Add(double seconds, std::span<const float> values);
    // Something between two samples that is not a measurement: the next
    // sample starts a new stretch.
    void Break() { breakNext_ = true; }

    const std::vector<std::string>& Channels() const { return labels_; }
    std::int64_t Samples() const { return samples_; }
    std::int64_t Gaps() const { return gaps_; }
    double LargestGap() const { return largestGap_; }
    // Data-ready periods a second: the intervals counted in whole periods of
    // the learnt one, over their time; 0 before it is learnt.
    double Rate() const;

    // Each channel's summary; empty before three samples.
    std::vector<NamedSummary> Summaries(std::optional<DensityBand> band = std::nullopt);
    // The kept samples as `quenlor-cli stream --time` writes them.
    std::string StreamText() const;

  private:
    void Learn();
    void Feed(std::size_t sample);
    void FeedWaiting();

    std::vector<std::string> labels_;
    double plannedSeconds_;
    std::ptrdiff_t temperature_ = -1;
    bool keep_;
    std::int64_t samples_ = 0;
    // The samples kept, or those waiting for the interval to be learnt.
    std::vector<double> times_;
    std::vector<float> values_;  // sample by sample, every channel
    std::vector<bool> breaks_;   // a break was asked before the sample
    bool breakNext_ = false;
    double period_ = 0.0;  // 0 until learnt
    std::size_t fed_ = 0;
    std::int64_t fedCount_ = 0;
    double lastFed_ = 0.0;
    bool afterLongGap_ = false;
    std::vector<ChannelAnalysis> analyses_;
    std::int64_t gaps_ = 0;
    double largestGap_ = 0.0;
    std::int64_t periods_ = 0;
    double periodSeconds_ = 0.0;
};

}  // namespace quenlor
