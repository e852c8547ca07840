#pragma once

#include <cstdint>
#include <vector>

#include "regmap/RegisterTable.h"
#include "snapshot/Snapshot.h"
#include "spi/RegisterAccess.h"

namespace quenlor {

// Reads every readable register into a snapshot (without comments).
Snapshot TakeSnapshot(RegisterAccess& registers, const RegisterTable& table);

// The configuration registers of `snapshot`, in table order: what a restore writes.
std::vector<SnapshotEntry> RestorePlan(const Snapshot& snapshot, const RegisterTable& table);

// A register that read back other than written.
struct RestoreMismatch {
    std::int16_t index = 0;
    std::uint16_t wanted = 0;
    std::uint16_t read = 0;
};

// Writes the plan's registers, then reads each back; the ones that did not take.
std::vector<RestoreMismatch> RestoreSnapshot(RegisterAccess& registers,
                                             const std::vector<SnapshotEntry>& plan);

}  // namespace quenlor
