#include "snapshot/SnapshotCompare.h"

namespace quenlor {

bool IsConfigurationRegister(const RegisterTable& table, std::int16_t index) {
    switch (index) {
        case GLOB_CMD:
        case LOT_ID1:
        case LOT_ID2:
        case PROD_ID:
        case SERIAL_NUM:
            return false;
        default:
            return table[index].WriteFlag;
    }
}

bool IsChangingRegister(std::int16_t index) {
    return (index >= SUPPLY_OUT && index <= ZINCL_OUT) || index == FLASH_CNT || index == DIAG_STAT;
}

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
