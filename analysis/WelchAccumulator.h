#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace quenlor {

// One-sided power spectral density, in the samples' unit squared per hertz.
struct Spectrum {
    double binWidth = 0.0;        // hertz between bins; bin k is at k * binWidth
    std::vector<double> density;  // empty when no segment was complete
};

// Welch's estimate of the power spectral density: Hann-windowed segments with
// half overlap, each segment's periodogram added as soon as it is complete,
// so reading the spectrum costs one pass over the bins however long the run.
class WelchAccumulator {
  public:
    // Segments of `length` samples (a power of two from 16 up).
    explicit WelchAccumulator(std::int64_t length);
    ~WelchAccumulator();
    WelchAccumulator(WelchAccumulator&&) noexcept;
    WelchAccumulator& operator=(WelchAccumulator&&) noexcept;

    // The segment length for a series of `samples`: the largest power of two
    // that gives at least 16 half-overlapped segments, from 16 up to 65536.
    static std::int64_t SegmentLengthFor(std::int64_t samples);
    // False where the program was built without the transform.
    static bool Available();

    void Append(std::span<const double> samples);
    void Append(double sample) { Append(std::span<const double>(&sample, 1)); }
    // A gap: the segment being filled is dropped, the next one starts afresh.
    void Break() { buffer_.clear(); }

    std::int64_t Segments() const { return segments_; }
    std::int64_t Length() const { return length_; }
    Spectrum Density(double rate) const;
    // Bytes held: the window, the segment being filled and the sums.
    std::size_t MemoryBytes() const {
        return (window_.capacity() + buffer_.capacity() + power_.capacity()) * sizeof(double) +
               static_cast<std::size_t>(length_) * 12;
    }

  private:
    void AddSegment();

    struct Transform;
    std::int64_t length_;
    std::vector<double> window_;
    std::vector<double> buffer_;  // the segment being filled
    std::vector<double> power_;   // sum of the segments' periodograms
    std::int64_t segments_ = 0;
    std::unique_ptr<Transform> transform_;
};

}  // namespace quenlor
