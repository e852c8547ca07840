#include "core/NumberFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace quenlor {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kMax = std::numeric_limits<double>::max();

TEST(FormatFixed, OneToThreeDecimalsOrExactlyOne) {
    EXPECT_EQ(FormatFixed0_0hh(1.23456), "1.235");
    EXPECT_EQ(FormatFixed0_0hh(25), "25.0");
    EXPECT_EQ(FormatFixed0_0hh(-0.5), "-0.5");
    EXPECT_EQ(FormatFixed0_0hh(0.25), "0.25");
    EXPECT_EQ(FormatFixed0_0hh(123456.7891), "123456.789");
    EXPECT_EQ(FormatFixed0_0hh(1e20), "100000000000000000000.0");
    EXPECT_EQ(FormatFixed0_0(1.5), "1.5");
    EXPECT_EQ(FormatFixed0_0(2), "2.0");
    EXPECT_EQ(FormatFixed0_0(0.04), "0.0");
    // The given separator; no minus on a value that rounds to zero.
    EXPECT_EQ(FormatFixed0_0hh(-3.14159, ","), "-3,142");
    EXPECT_EQ(FormatFixed0_0(-12.34, ","), "-12,3");
    EXPECT_EQ(FormatFixed0_0hh(-0.0001), "0.0");
    EXPECT_EQ(FormatFixed0_0hh(-0.0), "0.0");
    EXPECT_EQ(FormatFixed0_0(kNaN), "NaN");
    EXPECT_EQ(FormatFixed0_0hh(-HUGE_VAL), "-Inf");
}

TEST(FormatFixed, RoundsHalvesAwayFromZeroOnTheDecimalValue) {
    // Binary 1.0005 lies just below the half; its decimal text does not.
    EXPECT_EQ(FormatFixed0_0hh(1.0005), "1.001");
    EXPECT_EQ(FormatFixed0_0hh(-1.0005), "-1.001");
    EXPECT_EQ(FormatFixed0_0hh(0.0005), "0.001");
    EXPECT_EQ(FormatFixed0_0hh(2.0004), "2.0");
    EXPECT_EQ(FormatFixed0_0hh(999.9999), "1000.0");
    EXPECT_EQ(FormatFixed0_0(0.25), "0.3");
    EXPECT_EQ(FormatFixed0_0(-0.25), "-0.3");
    EXPECT_EQ(FormatFixed0_0(99.96), "100.0");
    EXPECT_EQ(FormatFixed0_0hh(static_cast<double>(0.1f)), "0.1");
}

TEST(FormatGeneral, SevenSignificantDigitsWithoutTrailingZeros) {
    EXPECT_EQ(FormatGeneral(25.0f), "25");
    EXPECT_EQ(FormatGeneral(0.1f), "0.1");
    EXPECT_EQ(FormatGeneral(-0.00244f), "-0.00244");
    EXPECT_EQ(FormatGeneral(3.301f), "3.301");
    EXPECT_EQ(FormatGeneral(625.66f), "625.66");
    EXPECT_EQ(FormatGeneral(-0.0f), "0");
    EXPECT_EQ(FormatGeneral(1.0f / 3.0f), "0.3333333");
    EXPECT_EQ(FormatGeneral(1234567.0f), "1234567");
    EXPECT_EQ(FormatGeneral(0.0001526f), "0.0001526");
    EXPECT_EQ(FormatGeneral(2.5f, ","), "2,5");
    // Mantissa and exponent only for very large or small magnitudes.
    EXPECT_EQ(FormatGeneral(1e10f), "1E+10");
    EXPECT_EQ(FormatGeneral(12345678.0f), "1.234568E+07");
    EXPECT_EQ(FormatGeneral(0.00001f), "1E-05");
    EXPECT_EQ(FormatGeneral(-2.5e-20f, ","), "-2,5E-20");
}

TEST(FormatGeneralDouble, FifteenSignificantDigits) {
    EXPECT_EQ(FormatGeneralDouble(0.1 + 0.2), "0.3");
    EXPECT_EQ(FormatGeneralDouble(123456789012345.0), "123456789012345");
    EXPECT_EQ(FormatGeneralDouble(1e15), "1E+15");
    EXPECT_EQ(FormatGeneralDouble(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(FormatGeneralDouble(-2.5, ","), "-2,5");
}

TEST(IntegerTexts, PrintFormatAndHex) {
    EXPECT_EQ(FormatPrintInteger(1), " 1 ");
    EXPECT_EQ(FormatPrintInteger(-5), "-5 ");
    EXPECT_EQ(FormatPrintInteger(0), " 0 ");
    EXPECT_EQ(FormatPrintInteger(std::numeric_limits<std::int32_t>::min()), "-2147483648 ");
    EXPECT_EQ(FormatHex(0), "0");
    EXPECT_EQ(FormatHex(0xABCD), "ABCD");
    EXPECT_EQ(FormatHex(-5), "FFFFFFFB");
    EXPECT_EQ(FormatHex4(0x12), "0012");
    EXPECT_EQ(FormatHex4(-5), "FFFB");
    EXPECT_EQ(FormatHex4(0x12345), "2345");
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(RoundHalfEven(0.5), 0.0);
    EXPECT_EQ(RoundHalfEven(1.5), 2.0);
    EXPECT_EQ(RoundHalfEven(2.5), 2.0);
    EXPECT_EQ(RoundHalfEven(-1.5), -2.0);
    EXPECT_EQ(RoundHalfEven(-2.5), -2.0);
    EXPECT_EQ(RoundHalfEven(2.5001), 3.0);
    EXPECT_EQ(RoundHalfEven(-7.6), -8.0);
    EXPECT_EQ(RoundHalfEven(4503599627370497.0), 4503599627370497.0);
    EXPECT_TRUE(std::isnan(RoundHalfEven(kNaN)));
}

TEST(LeadingNumber, ReadsTheNumberAtTheStartOfTheText) {
    EXPECT_EQ(LeadingNumber("1,000"), 1.0);
    EXPECT_EQ(LeadingNumber("  2.5x"), 2.5);
    EXPECT_EQ(LeadingNumber("\t-12"), -12.0);
    EXPECT_EQ(LeadingNumber("+7"), 7.0);
    EXPECT_EQ(LeadingNumber(".5"), 0.5);
    EXPECT_EQ(LeadingNumber("5."), 5.0);
    EXPECT_EQ(LeadingNumber("1.5e3"), 1500.0);
    EXPECT_EQ(LeadingNumber("2E-1"), 0.2);
    EXPECT_EQ(LeadingNumber("2e+"), 2.0);  // no exponent digits: no exponent
    for (const char* none : {"", "abc", "-", ".", "&H10", "e5"}) {
        EXPECT_EQ(LeadingNumber(none), 0.0) << none;
    }
    // Out of range stays finite.
    EXPECT_EQ(LeadingNumber("1e999"), kMax);
    EXPECT_EQ(LeadingNumber("-1e999"), -kMax);
    EXPECT_EQ(LeadingNumber(std::string(400, '9')), kMax);
    EXPECT_EQ(LeadingNumber("0." + std::string(400, '0') + "1"), 0.0);
}

// A register's resolution in decimals, from a scale held in single precision.
TEST(NumberFormat, ResolutionDecimalsAndFixedDecimals) {
    EXPECT_EQ(ResolutionDecimals(0.000061f), 5);
    EXPECT_EQ(ResolutionDecimals(0.0054931640625f), 3);
    EXPECT_EQ(ResolutionDecimals(-0.47f), 1);
    EXPECT_EQ(ResolutionDecimals(0.01f), 2);  // 0.0099999998 as stored
    EXPECT_EQ(ResolutionDecimals(0.0f), 3);
    EXPECT_EQ(FormatFixedDecimals(0.99942398f, 5), "0.99942");
    EXPECT_EQ(FormatFixedDecimals(-0.000004, 5, ","), "0,00000");
    EXPECT_EQ(FormatFixedDecimals(2.5, 0), "3");
}

}  // namespace
}  // namespace quenlor
