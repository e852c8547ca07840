#include "snapshot/SnapshotCompare.h"

namespace quenlor {

std::vector<SnapshotDifference> CompareSnapshots(const Snapshot& a, const Snapshot& b,
                                                 const RegisterTable& table, bool all) {
    std::vector<SnapshotDifference> differences;
    for (std::int16_t i = 0; i <= table.LastRegIndex; ++i) {
        if (!all && IsChangingRegister(i))
            continue;
        const auto va = a.ValueOf(i);
        const auto vb = b.ValueOf(i);
        if (va != vb)
            differences.push_back({i, va, vb});
    }
    return differences;
}

}  // namespace quenlor
