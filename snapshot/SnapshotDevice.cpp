#include "snapshot/SnapshotDevice.h"

#include "snapshot/SnapshotCompare.h"

namespace quenlor {

namespace {

std::uint16_t ReadWord(RegisterAccess& registers, std::int16_t index) {
    registers.ReadRegister(index);
    return static_cast<std::uint16_t>(registers.RegisterReadResult.Value & 0xFFFF);
}

}  // namespace

Snapshot TakeSnapshot(RegisterAccess& registers, const RegisterTable& table) {
    Snapshot s;
    for (std::int16_t i = 0; i <= table.LastRegIndex; ++i) {
        if (table[i].ReadFlag)
            s.entries.push_back({i, ReadWord(registers, i)});
    }
    return s;
}

std::vector<SnapshotEntry> RestorePlan(const Snapshot& snapshot, const RegisterTable& table) {
    std::vector<SnapshotEntry> plan;
    for (std::int16_t i = 0; i <= table.LastRegIndex; ++i) {
        const auto value = snapshot.ValueOf(i);
        if (value && IsConfigurationRegister(table, i))
            plan.push_back({i, *value});
    }
    return plan;
}

std::vector<RestoreMismatch> RestoreSnapshot(RegisterAccess& registers,
                                             const std::vector<SnapshotEntry>& plan) {
    for (const SnapshotEntry& e : plan)
        registers.WriteRegister(e.index, e.value);
    std::vector<RestoreMismatch> mismatches;
    for (const SnapshotEntry& e : plan) {
        const std::uint16_t read = ReadWord(registers, e.index);
        if (read != e.value)
            mismatches.push_back({e.index, e.value, read});
    }
    return mismatches;
}

}  // namespace quenlor
