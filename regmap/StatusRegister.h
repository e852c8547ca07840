#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace quenlor {

// How a set bit of DIAG_STAT reads: a failure ("FAIL", red) or a condition
// that is merely set ("SET", yellow).
enum class StatusSeverity { Failure, Notice };

struct StatusBit {
    const char* name;
    StatusSeverity severity;
};

// DIAG_STAT's bits 0 to 11.
inline constexpr std::array<StatusBit, 12> kStatusBits{{
    {"Supply < 3.150 V", StatusSeverity::Failure},
    {"Supply > 3.625 V", StatusSeverity::Failure},
    {"Flash Update Failure", StatusSeverity::Failure},
    {"SPI Comm Failure", StatusSeverity::Failure},
    {"Capture Period Violation", StatusSeverity::Failure},
    {"Self-test Diagnostic", StatusSeverity::Failure},
    {"Flash Memory Failure", StatusSeverity::Failure},
    {"Data Ready", StatusSeverity::Notice},
    {"Alarm X", StatusSeverity::Notice},
    {"Alarm Y", StatusSeverity::Notice},
    {"Alarm Z", StatusSeverity::Notice},
    {"System Alarm", StatusSeverity::Notice},
}};

// DIAG_STAT bit 7: a new sample is in the output registers. Reading any
// output register clears it.
inline constexpr std::size_t kDataReadyBit = 7;
inline constexpr std::uint16_t kDataReadyMask = 1u << kDataReadyBit;

constexpr bool IsDataReady(std::int32_t diagStat) {
    return (diagStat & kDataReadyMask) != 0;
}

constexpr bool IsStatusBitSet(std::int32_t diagStat, std::size_t bit) {
    return (diagStat & (1 << bit)) != 0;
}

// "OK" for a clear bit; a set one reads by its severity, "FAIL" or "SET".
constexpr const char* StatusStateText(std::int32_t diagStat, std::size_t bit) {
    if (!IsStatusBitSet(diagStat, bit))
        return "OK";
    return kStatusBits[bit].severity == StatusSeverity::Failure ? "FAIL" : "SET";
}

}  // namespace quenlor
