#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "regmap/RegisterMap.h"

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
