#pragma once

namespace quenlor {

// What a register's scaled value measures.
enum class Quantity { None, Voltage, Acceleration, Temperature, Inclination };

// The unit in plain ASCII, for consoles and files: "V", "g", "C", "deg"; empty
// for a register without one.
constexpr const char* UnitText(Quantity quantity) {
    switch (quantity) {
        case Quantity::Voltage:
            return "V";
        case Quantity::Acceleration:
            return "g";
        case Quantity::Temperature:
            return "C";
        case Quantity::Inclination:
            return "deg";
        case Quantity::None:
            break;
    }
    return "";
}

// The unit as a window shows it (UTF-8): the temperature with its degree sign.
constexpr const char* UnitSymbol(Quantity quantity) {
    return quantity == Quantity::Temperature ? "\u00B0C" : UnitText(quantity);
}

}  // namespace quenlor
