#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "regmap/RegisterGroups.h"
#include "regmap/RegisterTable.h"
#include "snapshot/Snapshot.h"

namespace quenlor {

// A register whose values differ; a side without the register has no value.
struct SnapshotDifference {
    std::int16_t index = 0;
    std::optional<std::uint16_t> a;
    std::optional<std::uint16_t> b;
};

// The differences in table order; `all` includes the registers that change by
// themselves.
std::vector<SnapshotDifference> CompareSnapshots(const Snapshot& a, const Snapshot& b,
                                                 const RegisterTable& table, bool all);

}  // namespace quenlor
