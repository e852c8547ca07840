#include "regmap/RegisterGroups.h"

namespace quenlor {

std::string OutputRegisterNames(std::string_view separator) {
    std::string names;
    for (RegisterIndex index : kOutputRegisters) {
        if (!names.empty())
            names += separator;
        names += kRegisterMap[static_cast<std::size_t>(index)].label;
    }
    return names;
}

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
    return IsOutputRegister(index) || index == FLASH_CNT || index == DIAG_STAT;
}

}  // namespace quenlor
