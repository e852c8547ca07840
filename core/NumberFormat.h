#pragma once

#include <cstdint>
#include <string>

namespace quenlor {

// The number and text formats the windows and files use. `decimalSeparator`
// is the system's ("." or ",").

// "0.0##": at least one integer digit, one to three decimals (1.23456 -> 1.235).
// The fixed formats round halves away from zero on the value's fifteen-digit
// decimal text (1.0005 -> 1.001) and show no minus on a result of zero.
std::string FormatFixed0_0hh(double value, const std::string& decimalSeparator = ".");
// "0.0": one decimal (2 -> 2.0).
std::string FormatFixed0_0(double value, const std::string& decimalSeparator = ".");
// Exactly `decimals` decimals (0 to 15), rounded as the fixed formats are.
std::string FormatFixedDecimals(double value, int decimals,
                                const std::string& decimalSeparator = ".");
// The decimals that show one step of a register scaled by `scale`
// (0.000061 -> 5, 0.0054931640625 -> 3, -0.47 -> 1); 3 for a scale of 0.
int ResolutionDecimals(double scale);
// General format of a single-precision number: at most seven significant
// digits, no thousands separators, no trailing zeros.
std::string FormatGeneral(float value, const std::string& decimalSeparator = ".");
// General format of a double (up to fifteen significant digits), for captions.
std::string FormatGeneralDouble(double value, const std::string& decimalSeparator = ".");
// Print format of an integer: sign position (blank or "-"), digits, one trailing blank.
std::string FormatPrintInteger(std::int32_t value);
// Upper-case hex without leading zeros; a negative value as its 32-bit two's
// complement (eight digits).
std::string FormatHex(std::int32_t value);
// The last four digits of FormatHex, zero-padded to four (0x12 -> 0012, -5 -> FFFB).
std::string FormatHex4(std::int32_t value);
// Upper-case hex of the low `digits` digits, zero-padded (0x5, 2 -> 05).
std::string FormatHexDigits(std::uint32_t value, int digits);
// Rounds to the nearest integer, halves to the even neighbour.
double RoundHalfEven(double value);
// The number at the start of `text`, read with "." as decimal point, leading
// blanks ignored; 0 when the text does not start with a number. Beyond the
// range of a double it gives the largest finite one.
double LeadingNumber(const std::string& text);
// The same, with the locale's group separator (such as "," in 1,000) read as
// grouping where it stands between whole-number digits and a group of three.
double LeadingNumber(const std::string& text, const std::string& groupSeparator);

}  // namespace quenlor
