#include "sim/StillBoard.h"

#include <algorithm>
#include <cmath>

namespace quenlor {

namespace {

std::uint64_t SplitMix(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

}  // namespace

StillBoard::StillBoard(std::uint32_t seed) : rng_(seed ^ 0x5714B0A7u) {
    // Start the Gauss-Markov processes in their steady state.
    for (auto& axis : markov_) {
        for (double& m : axis)
            m = kMarkovSigma * gauss();
    }
}

std::optional<std::array<double, 3>> StillBoard::Gravity(std::string_view up) {
    if (up.size() != 2 || (up[0] != '+' && up[0] != '-') || up[1] < 'x' || up[1] > 'z')
        return std::nullopt;
    std::array<double, 3> g{};
    g[static_cast<std::size_t>(up[1] - 'x')] = up[0] == '+' ? 1.0 : -1.0;
    return g;
}

double StillBoard::dieTemperature(double t) {
    return kDieStart + kDieRise * (1.0 - std::exp(-std::max(t, 0.0) / kDieTau));
}

std::array<double, 3> StillBoard::startOffsets(std::uint16_t serial) {
    std::array<double, 3> offsets{};
    for (std::size_t axis = 0; axis < 3; ++axis) {
        const std::uint64_t h = SplitMix(serial * 4ull + axis);
        const double size = 0.020 + 0.030 * double(h % 1001) / 1000.0;
        offsets[axis] = (h >> 32) % 2 == 0 ? size : -size;
    }
    return offsets;
}

std::array<double, 3> StillBoard::sample(double t, double rate) {
    // Exact steps over any gap: a sensor read now and then needs no samples
    // computed in between.
    const double dt = std::max(t - last_, 0.0);
    last_ = std::max(t, last_);
    const double white = kWhiteDensity * std::sqrt(rate / 2.0);
    const double tempBias = dieTemperature(t) - kDieStart;
    std::array<double, 3> errors{};
    for (std::size_t axis = 0; axis < 3; ++axis) {
        double bias = 0.0;
        for (std::size_t k = 0; k < kMarkovTau.size(); ++k) {
            const double a = std::exp(-dt / kMarkovTau[k]);
            double& m = markov_[axis][k];
            m = a * m + kMarkovSigma * std::sqrt(1.0 - a * a) * gauss();
            bias += m;
        }
        walk_[axis] += kRateWalk * std::sqrt(dt) * gauss();
        errors[axis] = white * gauss() + bias + walk_[axis] + kTempCo[axis] * tempBias;
    }
    return errors;
}

}  // namespace quenlor
