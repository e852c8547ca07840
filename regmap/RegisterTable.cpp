#include "regmap/RegisterTable.h"

namespace quenlor {

void RegisterTable::BuildRegisterTable() {
    for (const RegisterMapRow& row : kRegisterMap) {
        RegisterEntry& e = (*this)[row.index];
        e = RegisterEntry{};
        e.Index = row.index;
        e.Label = row.label;
        e.BaseAddr = row.address;
        e.NumBytes = 2;
        e.ReadLen = 16;
        e.TwosCompl = row.twosCompl;
        e.RegScale = row.scale;
        e.RegOffset = 0.0f;
        e.ReadFlag = true;
        e.WriteFlag = row.writable;
    }
    (*this)[TEMP_OUT].RegOffset = kTemperatureOffset;
    (*this)[PROD_ID].NumBytes = 1;
    (*this)[PROD_ID].ReadLen = 8;
    LastRegIndex = SERIAL_NUM;
}

}  // namespace quenlor
