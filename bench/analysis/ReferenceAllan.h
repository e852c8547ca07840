#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

namespace quenlor {

// The overlapping Allan deviation as it is usually written, for comparison:
// for each averaging factor, the means of every run of m samples (a sliding
// sum), then the squared differences of means m apart.
inline std::vector<double> ReferenceAllan(const std::vector<double>& y,
                                          const std::vector<std::int64_t>& ms) {
    std::vector<double> out;
    const auto n = static_cast<std::int64_t>(y.size());
    for (std::int64_t m : ms) {
        std::vector<double> means(static_cast<std::size_t>(n - m + 1));
        double sum = 0.0;
        for (std::int64_t k = 0; k < m; ++k)
            sum += y[static_cast<std::size_t>(k)];
        for (std::int64_t i = 0; i + m <= n; ++i) {
            means[static_cast<std::size_t>(i)] = sum / static_cast<double>(m);
            if (i + m < n)
                sum += y[static_cast<std::size_t>(i + m)] - y[static_cast<std::size_t>(i)];
        }
        double squares = 0.0;
        for (std::int64_t i = 0; i + 2 * m <= n; ++i) {
            const double d =
                means[static_cast<std::size_t>(i + m)] - means[static_cast<std::size_t>(i)];
            squares += d * d;
        }
        out.push_back(std::sqrt(squares / (2.0 * static_cast<double>(n - 2 * m + 1))));
    }
    return out;
}

}  // namespace quenlor
