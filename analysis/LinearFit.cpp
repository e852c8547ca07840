#include "analysis/LinearFit.h"

#include <algorithm>
#include <cmath>

namespace quenlor {

void LinearFit::Add(double x, double y) {
    ++n_;
    xMin_ = n_ == 1 ? x : std::min(xMin_, x);
    xMax_ = n_ == 1 ? x : std::max(xMax_, x);
    const double dx = x - meanX_;
    const double dy = y - meanY_;
    const double k = 1.0 / static_cast<double>(n_);
    meanX_ += dx * k;
    meanY_ += dy * k;
    sxx_ += dx * (x - meanX_);
    syy_ += dy * (y - meanY_);
    sxy_ += dx * (y - meanY_);
}

std::optional<LinearFit::Slope> LinearFit::Fit() const {
    if (n_ < 3 || sxx_ <= 0.0)
        return std::nullopt;
    const double slope = sxy_ / sxx_;
    const double residual = std::max(syy_ - slope * sxy_, 0.0);
    return Slope{slope, std::sqrt(residual / static_cast<double>(n_ - 2) / sxx_)};
}

}  // namespace quenlor
