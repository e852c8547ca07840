#include "regmap/RegisterTable.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "regmap/RegisterGroups.h"
#include "regmap/StatusRegister.h"

namespace quenlor {
namespace {

// The scaled value of a raw register word as register access computes it:
// the sign or the mask applied, then value * scale + offset in double, kept
// as a float.
float Scale(const RegisterEntry& e, std::int32_t word) {
    std::int32_t value = word & ((1 << e.ReadLen) - 1);
    if (e.TwosCompl && (value & (1 << (e.ReadLen - 1))) != 0)
        value -= 1 << e.ReadLen;
    return static_cast<float>(static_cast<double>(value) * e.RegScale + e.RegOffset);
}

class RegisterTableTest : public ::testing::Test {
  protected:
    void SetUp() override { table.BuildRegisterTable(); }
    RegisterTable table;
};

TEST_F(RegisterTableTest, HoldsThirtyOneRegistersInOrder) {
    const char* labels[] = {"FLASH_CNT",  "SUPPLY_OUT", "XACCL_OUT",  "YACCL_OUT",  "ZACCL_OUT",
                            "TEMP_OUT",   "XINCL_OUT",  "YINCL_OUT",  "ZINCL_OUT",  "XACCL_NULL",
                            "YACCL_NULL", "ZACCL_NULL", "ALM_MAG_X",  "ALM_MAG_Y",  "ALM_MAG_Z",
                            "ALM_MAG_S",  "ALM_SMPL_X", "ALM_SMPL_Y", "ALM_SMPL_Z", "ALM_CTRL",
                            "GPIO_CTRL",  "MSC_CTRL",   "DIO_CTRL",   "AVG_CNT",    "SLP_CNT",
                            "DIAG_STAT",  "GLOB_CMD",   "LOT_ID1",    "LOT_ID2",    "PROD_ID",
                            "SERIAL_NUM"};
    const std::int32_t addrs[] = {0x00, 0x02, 0x04, 0x06, 0x08, 0x0A, 0x0C, 0x0E, 0x10, 0x12, 0x14,
                                  0x16, 0x20, 0x22, 0x24, 0x26, 0x28, 0x2A, 0x2C, 0x2E, 0x32, 0x34,
                                  0x36, 0x38, 0x3A, 0x3C, 0x3E, 0x52, 0x54, 0x56, 0x58};
    EXPECT_EQ(table.LastRegIndex, 30);
    for (std::int16_t i = 0; i <= 30; ++i) {
        SCOPED_TRACE(i);
        const RegisterEntry& e = table[i];
        EXPECT_EQ(e.Index, i);
        EXPECT_EQ(e.Label, labels[i]);
        EXPECT_EQ(e.BaseAddr, addrs[i]);
        EXPECT_TRUE(e.ReadFlag);
        EXPECT_FALSE(e.ECflag || e.NDflag || e.Hidden || e.EmbMemflag);
        EXPECT_EQ(e.AuxBaseAddr, 0);
        EXPECT_EQ(e.AuxAddr, 0);
        if (i != PROD_ID) {
            EXPECT_EQ(e.NumBytes, 2);
            EXPECT_EQ(e.ReadLen, 16);
        }
        if (i != TEMP_OUT) {
            EXPECT_EQ(e.RegOffset, 0.0f);
        }
    }
    EXPECT_EQ(DIAG_STAT, 25);
    EXPECT_EQ(GLOB_CMD, 26);
}

TEST_F(RegisterTableTest, SignednessAndWritabilityFollowTheMap) {
    for (std::int16_t i = 0; i <= 30; ++i) {
        SCOPED_TRACE(table[i].Label);
        const bool isOutputOrNull = i >= SUPPLY_OUT && i <= ZACCL_NULL;
        EXPECT_EQ(table[i].TwosCompl, isOutputOrNull);
        const bool readOnly = i <= ZINCL_OUT || i == DIAG_STAT;
        EXPECT_EQ(table[i].WriteFlag, !readOnly);
    }
}

TEST_F(RegisterTableTest, EntriesBeyondTheMapStayEmpty) {
    for (std::int16_t i = 31; i <= 85; ++i) {
        SCOPED_TRACE(i);
        const RegisterEntry& e = table[i];
        EXPECT_TRUE(e.Label.empty());
        EXPECT_EQ(e.Index + e.BaseAddr + e.NumBytes + e.ReadLen, 0);
        EXPECT_EQ(e.RegScale, 0.0f);
        EXPECT_FALSE(e.ReadFlag || e.WriteFlag || e.TwosCompl);
    }
}

TEST_F(RegisterTableTest, ScalesGivePhysicalUnits) {
    EXPECT_NEAR(Scale(table[TEMP_OUT], 0x04FE), 25.0f, 1e-4f);
    EXPECT_FLOAT_EQ(Scale(table[XINCL_OUT], 0x4000), 90.0f);
    EXPECT_FLOAT_EQ(Scale(table[YINCL_OUT], 0xC000), -90.0f);
    // SUPPLY_OUT is signed: bit 15 set reads negative.
    EXPECT_LT(Scale(table[SUPPLY_OUT], 0x8000), 0.0f);
    EXPECT_NEAR(Scale(table[SUPPLY_OUT], 0x5000), 3.1252f, 1e-4f);
    EXPECT_EQ(Scale(table[DIAG_STAT], 0xFFFF), 65535.0f);  // unsigned
}

TEST_F(RegisterTableTest, ProdIdIsOneByteOfEightBits) {
    const RegisterEntry& e = table[PROD_ID];
    EXPECT_EQ(e.NumBytes, 1);
    EXPECT_EQ(e.ReadLen, 8);
    EXPECT_FALSE(e.TwosCompl);
    EXPECT_EQ(Scale(e, 0x12F4), 244.0f);
}

TEST_F(RegisterTableTest, BuildingAgainGivesTheSameTable) {
    const RegisterTable first = table;
    table[TEMP_OUT].RegOffset = 0.0f;
    table[PROD_ID].ReadLen = 16;
    table[40].Label = "untouched";
    table.BuildRegisterTable();
    for (std::size_t i = 0; i <= 30; ++i) {
        const RegisterEntry& a = table.Entries[i];
        const RegisterEntry& b = first.Entries[i];
        EXPECT_TRUE(a.Label == b.Label && a.RegOffset == b.RegOffset && a.RegScale == b.RegScale &&
                    a.ReadLen == b.ReadLen && a.NumBytes == b.NumBytes)
            << i;
    }
    EXPECT_EQ(table.LastRegIndex, 30);
    // Entries outside the map are not the builder's to change.
    EXPECT_EQ(table[40].Label, "untouched");
}

// A set bit 0 to 6 is a failure, 7 to 11 merely set; bit 7 is data ready.
TEST(SensorFactsTest, StatusBitsReadByTheirSeverity) {
    const std::int32_t value = 0x0F81;
    EXPECT_STREQ(StatusStateText(value, 0), "FAIL");
    EXPECT_STREQ(StatusStateText(value, 1), "OK");
    EXPECT_STREQ(StatusStateText(value, 6), "OK");
    EXPECT_STREQ(StatusStateText(0x0040, 6), "FAIL");
    EXPECT_STREQ(StatusStateText(value, 7), "SET");
    EXPECT_STREQ(StatusStateText(value, 11), "SET");
    EXPECT_STREQ(kStatusBits[kDataReadyBit].name, "Data Ready");
    EXPECT_STREQ(kStatusBits[0].name, "Supply < 3.150 V");
    EXPECT_STREQ(kStatusBits[11].name, "System Alarm");
    EXPECT_TRUE(IsDataReady(0x0080));
    EXPECT_FALSE(IsDataReady(0xFF7F));
}

TEST(SensorFactsTest, EachOutputHasItsUnit) {
    const char* units[] = {"V", "g", "g", "g", "C", "deg", "deg", "deg"};
    for (std::size_t i = 0; i < kOutputRegisters.size(); ++i)
        EXPECT_STREQ(UnitText(QuantityOf(kOutputRegisters[i])), units[i]) << i;
    EXPECT_STREQ(UnitSymbol(QuantityOf(TEMP_OUT)), "\u00B0C");
    EXPECT_STREQ(UnitText(QuantityOf(ALM_MAG_Z)), "g");
    EXPECT_STREQ(UnitText(QuantityOf(DIAG_STAT)), "");
    EXPECT_EQ(QuantityOf(40), Quantity::None);
    EXPECT_EQ(OutputRegisterNames(","),
              "SUPPLY_OUT,XACCL_OUT,YACCL_OUT,ZACCL_OUT,TEMP_OUT,XINCL_OUT,YINCL_OUT,ZINCL_OUT");
}

}  // namespace
}  // namespace quenlor
