#pragma once

#include <array>

namespace quenlor {

// Sweep position of one strip chart; starts at zero and lives as long as the chart.
struct PlotState {
    float X = 0;
    float Xold = 0;
    std::array<float, 3> Yold{};
};

}  // namespace quenlor
