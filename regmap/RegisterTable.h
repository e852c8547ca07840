#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace quenlor {

struct RegisterEntry {
    std::int16_t Index = 0;
    std::string Label;
    std::int32_t BaseAddr = 0;
    std::uint8_t NumBytes = 0;
    std::int16_t ReadLen = 0;
    bool TwosCompl = false;
    float RegScale = 0.0f;
    float RegOffset = 0.0f;
    bool ReadFlag = false;
    bool WriteFlag = false;
    bool ECflag = false;
    bool NDflag = false;
    bool Hidden = false;
    bool EmbMemflag = false;
    std::int32_t AuxBaseAddr = 0;
    std::int32_t AuxAddr = 0;
};

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

inline constexpr std::size_t kRegisterTableSize = 86;

// The table every register access goes through. Empty until BuildRegisterTable.
class RegisterTable {
  public:
    std::array<RegisterEntry, kRegisterTableSize> Entries{};
    std::int16_t LastRegIndex = 0;

    // Fills entries 0..30 with the sensor's built-in map and sets LastRegIndex to 30.
    void BuildRegisterTable();

    const RegisterEntry& operator[](std::int16_t index) const {
        return Entries[static_cast<std::size_t>(index)];
    }
    RegisterEntry& operator[](std::int16_t index) {
        return Entries[static_cast<std::size_t>(index)];
    }
};

}  // namespace quenlor
