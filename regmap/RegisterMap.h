#pragma once

#include <array>
#include <cstdint>

#include "regmap/Quantity.h"

namespace quenlor {

// Register indexes into the table, named as the labels.
enum RegisterIndex : std::int16_t {
    FLASH_CNT = 0,
    SUPPLY_OUT = 1,
    XACCL_OUT = 2,
    YACCL_OUT = 3,
    ZACCL_OUT = 4,
    TEMP_OUT = 5,
    XINCL_OUT = 6,
    YINCL_OUT = 7,
    ZINCL_OUT = 8,
    XACCL_NULL = 9,
    YACCL_NULL = 10,
    ZACCL_NULL = 11,
    ALM_MAG_X = 12,
    ALM_MAG_Y = 13,
    ALM_MAG_Z = 14,
    ALM_MAG_S = 15,
    ALM_SMPL_X = 16,
    ALM_SMPL_Y = 17,
    ALM_SMPL_Z = 18,
    ALM_CTRL = 19,
    GPIO_CTRL = 20,
    MSC_CTRL = 21,
    DIO_CTRL = 22,
    AVG_CNT = 23,
    SLP_CNT = 24,
    DIAG_STAT = 25,
    GLOB_CMD = 26,
    LOT_ID1 = 27,
    LOT_ID2 = 28,
    PROD_ID = 29,
    SERIAL_NUM = 30,
};

// One register of the sensor's map, as the sensor itself lays it out. The
// table built from it (RegisterTable) adds what the program keeps per entry.
struct RegisterMapRow {
    RegisterIndex index;
    const char* label;
    std::uint8_t address;
    bool twosCompl;
    float scale;  // physical units per count
    bool writable;
    Quantity quantity;
};

// The sensor's register map in index order. Every row is two bytes wide, 16
// bits significant, readable and without offset unless the table patches it.
inline constexpr std::array<RegisterMapRow, 31> kRegisterMap{{
    {FLASH_CNT, "FLASH_CNT", 0x00, false, 1.0f, false, Quantity::None},
    {SUPPLY_OUT, "SUPPLY_OUT", 0x02, true, 0.0001526f, false, Quantity::Voltage},
    {XACCL_OUT, "XACCL_OUT", 0x04, true, 0.000061f, false, Quantity::Acceleration},
    {YACCL_OUT, "YACCL_OUT", 0x06, true, 0.000061f, false, Quantity::Acceleration},
    {ZACCL_OUT, "ZACCL_OUT", 0x08, true, 0.000061f, false, Quantity::Acceleration},
    {TEMP_OUT, "TEMP_OUT", 0x0A, true, -0.47f, false, Quantity::Temperature},
    {XINCL_OUT, "XINCL_OUT", 0x0C, true, 0.0054931640625f, false, Quantity::Inclination},
    {YINCL_OUT, "YINCL_OUT", 0x0E, true, 0.0054931640625f, false, Quantity::Inclination},
    {ZINCL_OUT, "ZINCL_OUT", 0x10, true, 0.0054931640625f, false, Quantity::Inclination},
    {XACCL_NULL, "XACCL_NULL", 0x12, true, 0.000061f, true, Quantity::Acceleration},
    {YACCL_NULL, "YACCL_NULL", 0x14, true, 0.000061f, true, Quantity::Acceleration},
    {ZACCL_NULL, "ZACCL_NULL", 0x16, true, 0.000061f, true, Quantity::Acceleration},
    {ALM_MAG_X, "ALM_MAG_X", 0x20, false, 0.000061f, true, Quantity::Acceleration},
    {ALM_MAG_Y, "ALM_MAG_Y", 0x22, false, 0.000061f, true, Quantity::Acceleration},
    {ALM_MAG_Z, "ALM_MAG_Z", 0x24, false, 0.000061f, true, Quantity::Acceleration},
    {ALM_MAG_S, "ALM_MAG_S", 0x26, false, 1.0f, true, Quantity::None},
    {ALM_SMPL_X, "ALM_SMPL_X", 0x28, false, 1.0f, true, Quantity::None},
    {ALM_SMPL_Y, "ALM_SMPL_Y", 0x2A, false, 1.0f, true, Quantity::None},
    {ALM_SMPL_Z, "ALM_SMPL_Z", 0x2C, false, 1.0f, true, Quantity::None},
    {ALM_CTRL, "ALM_CTRL", 0x2E, false, 1.0f, true, Quantity::None},
    {GPIO_CTRL, "GPIO_CTRL", 0x32, false, 1.0f, true, Quantity::None},
    {MSC_CTRL, "MSC_CTRL", 0x34, false, 1.0f, true, Quantity::None},
    {DIO_CTRL, "DIO_CTRL", 0x36, false, 1.0f, true, Quantity::None},
    {AVG_CNT, "AVG_CNT", 0x38, false, 1.0f, true, Quantity::None},
    {SLP_CNT, "SLP_CNT", 0x3A, false, 1.0f, true, Quantity::None},
    {DIAG_STAT, "DIAG_STAT", 0x3C, false, 1.0f, false, Quantity::None},
    {GLOB_CMD, "GLOB_CMD", 0x3E, false, 1.0f, true, Quantity::None},
    {LOT_ID1, "LOT_ID1", 0x52, false, 1.0f, true, Quantity::None},
    {LOT_ID2, "LOT_ID2", 0x54, false, 1.0f, true, Quantity::None},
    {PROD_ID, "PROD_ID", 0x56, false, 1.0f, true, Quantity::None},
    {SERIAL_NUM, "SERIAL_NUM", 0x58, false, 1.0f, true, Quantity::None},
}};

constexpr bool MapInIndexOrder() {
    for (std::size_t i = 0; i < kRegisterMap.size(); ++i) {
        if (static_cast<std::size_t>(kRegisterMap[i].index) != i)
            return false;
    }
    return true;
}
static_assert(MapInIndexOrder(), "a register's row sits at its index");

// TEMP_OUT's value at count 0, in degrees C.
inline constexpr float kTemperatureOffset = 625.66f;

// The byte address of a register of the map (the first of its two bytes).
constexpr std::uint8_t RegisterAddress(RegisterIndex index) {
    return kRegisterMap[static_cast<std::size_t>(index)].address;
}

// What a register measures; None for an index outside the map.
constexpr Quantity QuantityOf(std::int16_t index) {
    return index >= 0 && static_cast<std::size_t>(index) < kRegisterMap.size()
               ? kRegisterMap[static_cast<std::size_t>(index)].quantity
               : Quantity::None;
}

}  // namespace quenlor
