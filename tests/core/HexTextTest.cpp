#include "core/HexText.h"

#include <gtest/gtest.h>

namespace quenlor {
namespace {

TEST(HexToDec, ReadsUpToFourDigitsInEitherCase) {
    EXPECT_EQ(HexToDec("378"), 888);
    EXPECT_EQ(HexToDec("ffff"), 65535);
    EXPECT_EQ(HexToDec("FFFF"), 65535);
    EXPECT_EQ(HexToDec("8000"), 32768);
    EXPECT_EQ(HexToDec("aB9"), 0xAB9);
    EXPECT_EQ(HexToDec("7"), 7);
    EXPECT_EQ(HexToDec(""), 0);
}

TEST(HexToDec, NonDigitsCountAsZero) {
    EXPECT_EQ(HexToDec("1G"), 16);
    EXPECT_EQ(HexToDec(" 12"), 18);
    EXPECT_EQ(HexToDec("0x1F"), 31);
    EXPECT_EQ(HexToDec("-1"), 1);
    EXPECT_EQ(HexToDec("g"), 0);
    // Bytes outside ASCII are not digits either.
    EXPECT_EQ(HexToDec("\xC3\xA4"
                       "1"),
              1);
}

TEST(HexToDec, LongerTextUsesItsLastFourCharacters) {
    EXPECT_EQ(HexToDec("12345"), 0x2345);
    EXPECT_EQ(HexToDec("0x12AB"), 0x12AB);
    EXPECT_EQ(HexToDec("FFFFFFFFFFFF"), 65535);
}

}  // namespace
}  // namespace quenlor
