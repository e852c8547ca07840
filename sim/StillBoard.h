#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <random>
#include <string_view>

namespace quenlor {

// The errors of a board at rest, per acceleration axis, in g: white noise,
// bias instability (flicker, as a sum of first-order Gauss-Markov processes
// an order of magnitude apart), a rate random walk, and a temperature
// coefficient on a die that warms slowly. The parameters below are those
// the documentation quotes; a noise analysis should find them again.
class StillBoard {
  public:
    // One-sided white-noise density, g/sqrt(Hz): a sample at rate fs scatters
    // by kWhiteDensity * sqrt(fs / 2).
    static constexpr double kWhiteDensity = 25e-6;
    // Bias instability: each Gauss-Markov process has this deviation, g,
    // with the correlation times below.
    static constexpr double kMarkovSigma = 8e-6;
    static constexpr std::array<double, 3> kMarkovTau{1.0, 10.0, 100.0};
    // Rate random walk, g/s/sqrt(Hz): the Allan deviation K*sqrt(tau/3).
    static constexpr double kRateWalk = 0.3e-6;
    // Bias temperature coefficients, g/C, per axis.
    static constexpr std::array<double, 3> kTempCo{10e-6, -8e-6, 12e-6};
    // The die warms from kDieStart towards kDieStart + kDieRise with this time constant.
    static constexpr double kDieStart = 25.0;
    static constexpr double kDieRise = 8.0;
    static constexpr double kDieTau = 3600.0;

    explicit StillBoard(std::uint32_t seed);

    // What the board at rest reads with the axis `up` ("+z", "-x", ...)
    // pointing up: +1 g on it; nullopt for any other text.
    static std::optional<std::array<double, 3>> Gravity(std::string_view up);

    // The die temperature, C, `t` seconds after power-up.
    static double dieTemperature(double t);
    // The start-up offsets of the board with this serial number, g: 20 to
    // 50 mg each, either sign, the same whenever the board powers up.
    static std::array<double, 3> startOffsets(std::uint16_t serial);

    // Advances the slow processes to `t` (seconds after power-up; no step
    // back) and returns the errors of a sample taken at `t` by a sensor
    // sampling at `rate`.
    std::array<double, 3> sample(double t, double rate);

  private:
    double gauss() { return gauss_(rng_); }

    std::mt19937 rng_;
    std::normal_distribution<double> gauss_{0.0, 1.0};
    double last_ = 0.0;
    std::array<std::array<double, 3>, 3> markov_{};  // [axis][process]
    std::array<double, 3> walk_{};
};

}  // namespace quenlor
