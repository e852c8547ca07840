#pragma once

#include <cstdint>
#include <optional>

namespace quenlor {

// The least-squares line of y on x, kept up to date pair by pair (Welford's
// updates of the means and co-moments, exact for long runs).
class LinearFit {
  public:
    void Add(double x, double y);

    struct Slope {
        double value = 0.0;
        double standardError = 0.0;
    };
    // Nullopt for fewer than three pairs or when x never changed.
    std::optional<Slope> Fit() const;

    std::int64_t Count() const { return n_; }
    double XSpan() const { return n_ == 0 ? 0.0 : xMax_ - xMin_; }

  private:
    std::int64_t n_ = 0;
    double meanX_ = 0.0;
    double meanY_ = 0.0;
    double sxx_ = 0.0;
    double syy_ = 0.0;
    double sxy_ = 0.0;
    double xMin_ = 0.0;
    double xMax_ = 0.0;
};

}  // namespace quenlor
