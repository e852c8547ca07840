#include "analysis/WelchAccumulator.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#ifdef QUENLOR_HAVE_KISSFFT
#include <kiss_fftr.h>
#endif

namespace quenlor {

struct WelchAccumulator::Transform {
#ifdef QUENLOR_HAVE_KISSFFT
    explicit Transform(std::int64_t length)
        : config(kiss_fftr_alloc(static_cast<int>(length), 0, nullptr, nullptr)),
          in(static_cast<std::size_t>(length)),
          out(static_cast<std::size_t>(length / 2 + 1)) {}
    ~Transform() {
        kiss_fftr_free(config);
    }
    Transform(const Transform&) = delete;
    Transform& operator=(const Transform&) = delete;

    kiss_fftr_cfg config;
    std::vector<kiss_fft_scalar> in;
    std::vector<kiss_fft_cpx> out;
#else
    explicit Transform(std::int64_t) {}
#endif
};

WelchAccumulator::WelchAccumulator(std::int64_t length)
    : length_(std::clamp<std::int64_t>(length, 16, std::int64_t{1} << 24)),
      window_(static_cast<std::size_t>(length_)),
      power_(static_cast<std::size_t>(length_ / 2 + 1), 0.0),
      transform_(std::make_unique<Transform>(length_)) {
    // The periodic Hann window, whose half-overlapped copies add to a constant.
    for (std::int64_t i = 0; i < length_; ++i)
        window_[static_cast<std::size_t>(i)] =
            0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * static_cast<double>(i) /
                                 static_cast<double>(length_));
    buffer_.reserve(static_cast<std::size_t>(length_));
}

WelchAccumulator::~WelchAccumulator() = default;
WelchAccumulator::WelchAccumulator(WelchAccumulator&&) noexcept = default;
WelchAccumulator& WelchAccumulator::operator=(WelchAccumulator&&) noexcept = default;

std::int64_t WelchAccumulator::SegmentLengthFor(std::int64_t samples) {
    std::int64_t length = 16;
    // 16 half-overlapped segments of L span 8.5 L samples.
    while (length < 65536 && (length * 2) * 17 / 2 <= samples)
        length *= 2;
    return length;
}

bool WelchAccumulator::Available() {
#ifdef QUENLOR_HAVE_KISSFFT
    return true;
#else
    return false;
#endif
}

void WelchAccumulator::Append(std::span<const double> samples) {
    const auto full = static_cast<std::size_t>(length_);
    while (!samples.empty()) {
        const std::size_t take = std::min(full - buffer_.size(), samples.size());
        buffer_.insert(buffer_.end(), samples.begin(), samples.begin() + static_cast<long>(take));
        samples = samples.subspan(take);
        if (buffer_.size() == full) {
            AddSegment();
            // The second half starts the next segment.
            buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<long>(full / 2));
        }
    }
}

void WelchAccumulator::AddSegment() {
#ifdef QUENLOR_HAVE_KISSFFT
    // Each segment loses its own mean, so a large offset cannot leak through
    // the window into the low bins in single precision.
    double mean = 0.0;
    for (double y : buffer_)
        mean += y;
    mean /= static_cast<double>(length_);
    for (std::size_t i = 0; i < buffer_.size(); ++i)
        transform_->in[i] = static_cast<kiss_fft_scalar>((buffer_[i] - mean) * window_[i]);
    kiss_fftr(transform_->config, transform_->in.data(), transform_->out.data());
    for (std::size_t k = 0; k < power_.size(); ++k) {
        const double re = transform_->out[k].r;
        const double im = transform_->out[k].i;
        power_[k] += re * re + im * im;
    }
    ++segments_;
#endif
}

Spectrum WelchAccumulator::Density(double rate) const {
    Spectrum spectrum;
    spectrum.binWidth = rate / static_cast<double>(length_);
    if (segments_ == 0)
        return spectrum;
    double windowPower = 0.0;
    for (double w : window_)
        windowPower += w * w;
    const double scale = 1.0 / (rate * windowPower * static_cast<double>(segments_));
    spectrum.density.resize(power_.size());
    for (std::size_t k = 0; k < power_.size(); ++k) {
        // One-sided: every bin but zero and Nyquist holds both signs' power.
        const bool edge = k == 0 || k + 1 == power_.size();
        spectrum.density[k] = power_[k] * scale * (edge ? 1.0 : 2.0);
    }
    return spectrum;
}

}  // namespace quenlor
