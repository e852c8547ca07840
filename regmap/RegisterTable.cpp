#include "regmap/RegisterTable.h"

namespace quenlor {

namespace {

struct MapRow {
    RegisterIndex index;
    const char* label;
    std::int32_t baseAddr;
    bool twosCompl;
    float scale;
    bool writable;
};

// The sensor's register map. Every row is two bytes wide, 16 bits significant,
// readable and without offset unless patched below.
constexpr MapRow kMap[] = {
    {FLASH_CNT, "FLASH_CNT", 0x00, false, 1.0f, false},
    {SUPPLY_OUT, "SUPPLY_OUT", 0x02, true, 0.0001526f, false},
    {XACCL_OUT, "XACCL_OUT", 0x04, true, 0.000061f, false},
    {YACCL_OUT, "YACCL_OUT", 0x06, true, 0.000061f, false},
    {ZACCL_OUT, "ZACCL_OUT", 0x08, true, 0.000061f, false},
    {TEMP_OUT, "TEMP_OUT", 0x0A, true, -0.47f, false},
    {XINCL_OUT, "XINCL_OUT", 0x0C, true, 0.0054931640625f, false},
    {YINCL_OUT, "YINCL_OUT", 0x0E, true, 0.0054931640625f, false},
    {ZINCL_OUT, "ZINCL_OUT", 0x10, true, 0.0054931640625f, false},
    {XACCL_NULL, "XACCL_NULL", 0x12, true, 0.000061f, true},
    {YACCL_NULL, "YACCL_NULL", 0x14, true, 0.000061f, true},
    {ZACCL_NULL, "ZACCL_NULL", 0x16, true, 0.000061f, true},
    {ALM_MAG_X, "ALM_MAG_X", 0x20, false, 0.000061f, true},
    {ALM_MAG_Y, "ALM_MAG_Y", 0x22, false, 0.000061f, true},
    {ALM_MAG_Z, "ALM_MAG_Z", 0x24, false, 0.000061f, true},
    {ALM_MAG_S, "ALM_MAG_S", 0x26, false, 1.0f, true},
    {ALM_SMPL_X, "ALM_SMPL_X", 0x28, false, 1.0f, true},
    {ALM_SMPL_Y, "ALM_SMPL_Y", 0x2A, false, 1.0f, true},
    {ALM_SMPL_Z, "ALM_SMPL_Z", 0x2C, false, 1.0f, true},
    {ALM_CTRL, "ALM_CTRL", 0x2E, false, 1.0f, true},
    {GPIO_CTRL, "GPIO_CTRL", 0x32, false, 1.0f, true},
    {MSC_CTRL, "MSC_CTRL", 0x34, false, 1.0f, true},
    {DIO_CTRL, "DIO_CTRL", 0x36, false, 1.0f, true},
    {AVG_CNT, "AVG_CNT", 0x38, false, 1.0f, true},
    {SLP_CNT, "SLP_CNT", 0x3A, false, 1.0f, true},
    {DIAG_STAT, "DIAG_STAT", 0x3C, false, 1.0f, false},
    {GLOB_CMD, "GLOB_CMD", 0x3E, false, 1.0f, true},
    {LOT_ID1, "LOT_ID1", 0x52, false, 1.0f, true},
    {LOT_ID2, "LOT_ID2", 0x54, false, 1.0f, true},
    {PROD_ID, "PROD_ID", 0x56, false, 1.0f, true},
    {SERIAL_NUM, "SERIAL_NUM", 0x58, false, 1.0f, true},
};

}  // namespace

void RegisterTable::BuildRegisterTable() {
    for (const MapRow& row : kMap) {
        RegisterEntry& e = (*this)[row.index];
        e = RegisterEntry{};
        e.Index = row.index;
        e.Label = row.label;
        e.BaseAddr = row.baseAddr;
        e.NumBytes = 2;
        e.ReadLen = 16;
        e.TwosCompl = row.twosCompl;
        e.RegScale = row.scale;
        e.RegOffset = 0.0f;
        e.ReadFlag = true;
        e.WriteFlag = row.writable;
    }
    (*this)[TEMP_OUT].RegOffset = 625.66f;
    (*this)[PROD_ID].NumBytes = 1;
    (*this)[PROD_ID].ReadLen = 8;
    LastRegIndex = SERIAL_NUM;
}

}  // namespace quenlor
