#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "regmap/RegisterTable.h"

namespace quenlor {

// The eight output registers, in table order: what the main window shows,
// the datalog can log and quenlor-cli streams.
inline constexpr std::array<RegisterIndex, 8> kOutputRegisters{
    SUPPLY_OUT, XACCL_OUT, YACCL_OUT, ZACCL_OUT, TEMP_OUT, XINCL_OUT, YINCL_OUT, ZINCL_OUT};

constexpr bool IsOutputRegister(std::int16_t index) {
    return index >= kOutputRegisters.front() && index <= kOutputRegisters.back();
}

// The output registers' names joined by `separator`: "SUPPLY_OUT, XACCL_OUT, ...".
std::string OutputRegisterNames(std::string_view separator = ", ");

// The registers a restore writes: writable ones, except GLOB_CMD (writing it
// starts commands) and the identification registers.
bool IsConfigurationRegister(const RegisterTable& table, std::int16_t index);

// Registers that change by themselves (the outputs, FLASH_CNT, DIAG_STAT); a
// compare passes over them unless asked for all.
bool IsChangingRegister(std::int16_t index);

}  // namespace quenlor
