#pragma once

#include <array>
#include <optional>

namespace quenlor {

// The last scaled values of the eight output rows, entries 1..8; an entry never
// read is empty and counts as 0.
using OutputValueArray = std::array<std::optional<float>, 11>;

}  // namespace quenlor
