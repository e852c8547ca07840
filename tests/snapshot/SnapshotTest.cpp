#include <gtest/gtest.h>

#include "snapshot/Snapshot.h"
#include "snapshot/SnapshotCompare.h"
#include "snapshot/SnapshotDevice.h"
#include "snapshot/SnapshotHeader.h"

namespace quenlor {
namespace {

class SnapshotTest : public ::testing::Test {
  protected:
    SnapshotTest() { table.BuildRegisterTable(); }

    Snapshot Every(std::uint16_t value) const {
        Snapshot s;
        for (std::int16_t i = 0; i <= table.LastRegIndex; ++i)
            s.entries.push_back({i, value});
        return s;
    }

    RegisterTable table;
};

TEST(SnapshotHeaderTest, SaysWhenWhereAndByWhat) {
    Settings settings;
    UsbCardRecord card;
    card.DeviceName = "Ezusb-1";
    card.BoardType = "Tarrow";
    settings.Interface = InterfaceUsb;
    const SnapshotOrigin origin{
        {2026, 1, 5, 3, 4, 5}, DescribeInterface(settings, card), true, "quenlor-eval 1.0"};
    const std::vector<std::string> lines = {
        "Quenlor_Eval_Rev_2 register snapshot", "taken 2026-01-05 03:04:05",
        "interface USB, card Ezusb-1 (Tarrow) (simulated)", "program quenlor-eval 1.0"};
    EXPECT_EQ(SnapshotHeader(origin), lines);

    settings.Interface = InterfaceParallel;
    settings.PortAddress = 0x378;
    EXPECT_EQ(DescribeInterface(settings, card), "interface parallel port 378");
    settings.Interface = InterfaceNone;
    EXPECT_EQ(DescribeInterface(settings, card), "no interface");
}

TEST_F(SnapshotTest, TextReadsBackToTheSameRegistersAndComments) {
    Snapshot s = Every(0);
    s.entries[XACCL_NULL].value = 0x1A;
    s.entries[ZACCL_NULL].value = 0xFFFB;
    s.comments = {"taken 2026-12-07 15:00:00", "interface USB, card Ezusb-0"};
    const std::string text = s.Text(table);
    EXPECT_NE(text.find("\r\nXACCL_NULL,12,001A\r\n"), std::string::npos) << text;
    EXPECT_EQ(text.rfind("# taken 2026-12-07 15:00:00\r\n", 0), 0u);

    std::string error;
    const auto back = Snapshot::Parse(text, table, error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(back->comments, s.comments);
    ASSERT_EQ(back->entries.size(), 31u);
    EXPECT_EQ(back->ValueOf(ZACCL_NULL), 0xFFFB);
    EXPECT_EQ(back->ValueOf(SERIAL_NUM), 0);
}

TEST_F(SnapshotTest, AMalformedLineIsNamedByNumberAndNothingIsRead) {
    const std::string head = "# comment\nName,Address,Value\nFLASH_CNT,00,000C\n";
    const std::pair<const char*, const char*> cases[] = {
        {"NOT_A_REG,12,0000", "line 4: unknown register NOT_A_REG"},
        {"XACCL_NULL,14,0000", "line 4: XACCL_NULL is at address 12, not 14"},
        {"XACCL_NULL,12,01A", "line 4: value of XACCL_NULL is not four hex digits: 01A"},
        {"XACCL_NULL,12,00G1", "line 4: value of XACCL_NULL is not four hex digits: 00G1"},
        {"XACCL_NULL,12", "line 4: expected NAME,ADDRESS,VALUE"},
        {"flash_cnt,00,0001", "line 4: FLASH_CNT is listed twice"},
    };
    for (const auto& [line, message] : cases) {
        std::string error;
        EXPECT_FALSE(Snapshot::Parse(head + line + "\n", table, error)) << line;
        EXPECT_EQ(error, message);
    }
    std::string error;
    EXPECT_FALSE(Snapshot::Parse("# only a comment\r\n", table, error));
    EXPECT_EQ(error, "no register lines");
    const auto lower = Snapshot::Parse(head + "xaccl_null , 12 , 001a\r\n", table, error);
    ASSERT_TRUE(lower) << error;
    EXPECT_EQ(lower->ValueOf(XACCL_NULL), 0x1A);
}

TEST_F(SnapshotTest, RestoreWritesOnlyConfigurationRegisters) {
    std::vector<std::int16_t> planned;
    for (const SnapshotEntry& e : RestorePlan(Every(1), table))
        planned.push_back(e.index);
    std::vector<std::int16_t> expected;
    for (std::int16_t i = XACCL_NULL; i <= SLP_CNT; ++i)
        expected.push_back(i);
    EXPECT_EQ(planned, expected);
}

TEST_F(SnapshotTest, CompareLeavesChangingRegistersToAll) {
    Snapshot a = Every(0);
    Snapshot b = Every(0);
    b.entries[XACCL_OUT].value = 5;
    b.entries[DIAG_STAT].value = 0x80;
    b.entries[ALM_CTRL].value = 7;
    b.entries.pop_back();  // SERIAL_NUM only in a
    const auto some = CompareSnapshots(a, b, table, false);
    ASSERT_EQ(some.size(), 2u);
    EXPECT_EQ(some[0].index, ALM_CTRL);
    EXPECT_EQ(some[0].a, 0);
    EXPECT_EQ(some[0].b, 7);
    EXPECT_EQ(some[1].index, SERIAL_NUM);
    EXPECT_FALSE(some[1].b.has_value());
    EXPECT_EQ(CompareSnapshots(a, b, table, true).size(), 4u);
    EXPECT_TRUE(CompareSnapshots(a, a, table, true).empty());
}

}  // namespace
}  // namespace quenlor
