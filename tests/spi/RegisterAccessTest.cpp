#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "tests/spi/SpiRig.h"

namespace quenlor {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Channel each interface's frames appear on in the trace.
int ChannelOf(std::int16_t iface) {
    return iface == InterfaceParallel ? 0 : 1;
}

class RegisterAccessBothPaths : public ::testing::TestWithParam<std::int16_t> {
  protected:
    RegisterAccessBothPaths() { rig.settings.Interface = GetParam(); }
    std::vector<std::uint16_t> sent() const { return rig.sent(ChannelOf(GetParam())); }
    test::SpiRig rig;
};

TEST_P(RegisterAccessBothPaths, SixteenBitWriteIsHighByteToOddAddressThenLowByte) {
    rig.regs.WriteRegister(MSC_CTRL, 0x0004);
    EXPECT_THAT(sent(), ElementsAre(0xB500, 0xB404));
    EXPECT_EQ(rig.sensor.peekWord(0x34), 0x0004);
}

TEST_P(RegisterAccessBothPaths, CommandRegisterTakesExactlyOneByte) {
    rig.regs.WriteRegister(GLOB_CMD, 0x0080);
    EXPECT_THAT(sent(), ElementsAre(0xBE80));
    rig.clearLog();
    rig.regs.WriteRegister(GLOB_CMD, 0x0100);
    EXPECT_THAT(sent(), ElementsAre(0xBF01));
    rig.clearLog();
    // Both bytes set: only the high one goes out.
    rig.regs.WriteRegister(GLOB_CMD, 0x0110);
    EXPECT_THAT(sent(), ElementsAre(0xBF01));
}

TEST_P(RegisterAccessBothPaths, WritesChangeTheSimulatedRegisters) {
    for (const auto& [index, value] : std::vector<std::pair<RegisterIndex, std::int32_t>>{
             {XACCL_NULL, 0x1234}, {ALM_MAG_S, 0xFFFF}, {SLP_CNT, 0x0100}, {SERIAL_NUM, 0xA55A}}) {
        rig.regs.WriteRegister(index, value);
        EXPECT_EQ(rig.sensor.peekWord(static_cast<std::uint8_t>(rig.table[index].BaseAddr)), value)
            << rig.table[index].Label;
        rig.regs.ReadRegister(index);
        EXPECT_EQ(rig.regs.RegisterReadResult.Value, index == XACCL_NULL ? 0x1234 : value);
    }
}

TEST_P(RegisterAccessBothPaths, ReadDecodesByLengthSignAndScale) {
    struct Case {
        RegisterIndex index;
        std::uint16_t word;
        std::int32_t value;
        float scaled;
    };
    for (const Case& c : std::vector<Case>{{TEMP_OUT, 0x04FE, 1278, 25.0f},
                                           {XINCL_OUT, 0x4000, 16384, 90.0f},
                                           {XINCL_OUT, 0xC000, -16384, -90.0f},
                                           {PROD_ID, 0x1234, 0x34, 52.0f},
                                           {XACCL_OUT, 0xFFFF, -1, -0.000061f},
                                           {FLASH_CNT, 0xFFFF, 65535, 65535.0f}}) {
        rig.sensor.pokeWord(static_cast<std::uint8_t>(rig.table[c.index].BaseAddr), c.word);
        rig.regs.ReadRegister(c.index);
        EXPECT_EQ(rig.regs.RegisterReadResult.Value, c.value) << rig.table[c.index].Label;
        EXPECT_NEAR(rig.regs.RegisterReadResult.Scaled, c.scaled, 1e-4) << rig.table[c.index].Label;
    }
}

TEST_P(RegisterAccessBothPaths, EveryAccessEndsWithItsPauses) {
    // Each parallel frame ends in a pause of its own, on top of the access's.
    const int frames = GetParam() == InterfaceParallel ? 2 : 0;
    rig.regs.ReadRegister(XACCL_OUT);
    EXPECT_EQ(test::Pauses(), 1 + frames);
    rig.clearLog();
    rig.regs.WriteRegister(MSC_CTRL, 4);
    EXPECT_EQ(test::Pauses(), 1 + frames);
    rig.clearLog();
    rig.regs.WriteRegister(GLOB_CMD, 4);
    EXPECT_EQ(test::Pauses(), 1 + frames / 2);
}

TEST_P(RegisterAccessBothPaths, EntryWithoutReadFlagSendsNothingAndKeepsResult) {
    rig.sensor.pokeWord(0x0A, 0x04FE);
    rig.regs.ReadRegister(TEMP_OUT);
    const ReadResult before = rig.regs.RegisterReadResult;
    rig.clearLog();

    rig.table[TEMP_OUT].ReadFlag = false;
    rig.regs.ReadRegister(TEMP_OUT);
    rig.regs.ReadRegister(40);  // an unused entry
    rig.regs.ReadRegister(-1);  // outside the table
    rig.regs.ReadRegister(86);

    EXPECT_EQ(rig.regs.RegisterReadResult.Value, before.Value);
    EXPECT_EQ(rig.regs.RegisterReadResult.Scaled, before.Scaled);
    EXPECT_EQ(rig.text(), "");
    EXPECT_EQ(test::Pauses(), 0);
}

INSTANTIATE_TEST_SUITE_P(Interfaces, RegisterAccessBothPaths,
                         ::testing::Values(InterfaceUsb, InterfaceParallel), [](const auto& test) {
                             return test.param == InterfaceUsb ? "Usb" : "Parallel";
                         });

TEST(RegisterAccess, EveryReadableRegisterReadsAlikeOverBothPaths) {
    test::SpiRig rig;
    int compared = 0;
    for (std::int16_t i = 0; i <= rig.table.LastRegIndex; ++i) {
        if (!rig.table[i].ReadFlag)
            continue;
        rig.settings.Interface = InterfaceUsb;
        rig.regs.ReadRegister(i);
        const ReadResult usb = rig.regs.RegisterReadResult;
        rig.settings.Interface = InterfaceParallel;
        rig.regs.RegisterReadResult = {};
        rig.regs.ReadRegister(i);
        EXPECT_EQ(rig.regs.RegisterReadResult.Value, usb.Value) << rig.table[i].Label;
        EXPECT_EQ(rig.regs.RegisterReadResult.Scaled, usb.Scaled) << rig.table[i].Label;
        ++compared;
    }
    EXPECT_EQ(compared, 31);
    // The frozen sensor did produce non-trivial outputs to compare.
    rig.regs.ReadRegister(PROD_ID);
    EXPECT_EQ(rig.regs.RegisterReadResult.Value, SimSensor::kProductId & 0xFF);
}

TEST(RegisterAccess, UsbReadSendsRequestTwiceOnChannelOneAndTakesSecondAnswer) {
    test::SpiRig rig;
    rig.settings.Interface = InterfaceUsb;
    rig.settings.UsbSpiChannel = 3;  // left by the debug window
    rig.sensor.pokeWord(0x04, 0x0123);
    rig.regs.ReadRegister(XACCL_OUT);
    EXPECT_THAT(rig.sent(1), ElementsAre(0x0400, 0x0400));
    EXPECT_EQ(rig.settings.UsbSpiChannel, 1);
    EXPECT_EQ(rig.card.lastChannel(0), 1);
    EXPECT_EQ(rig.usbSpi.UsbReadWords[2], 0x0123);
    EXPECT_EQ(rig.regs.RegisterReadResult.Value, 0x0123);

    rig.settings.UsbSpiChannel = 4;
    rig.regs.WriteRegister(MSC_CTRL, 4);
    EXPECT_EQ(rig.card.lastChannel(0), 1);
}

// A register write is one card transfer: both bytes' frames together, the
// command register's single frame alone.
TEST(RegisterAccess, UsbWritesAreOneTransferEach) {
    using Bytes = std::vector<std::uint8_t>;
    test::SpiRig rig;
    rig.settings.Interface = InterfaceUsb;
    rig.driver.clearRecords();
    rig.settings.UsbSpiChannel = 2;
    rig.regs.WriteRegister(MSC_CTRL, 0x0004);
    rig.regs.WriteRegister(GLOB_CMD, 0x0080);
    rig.regs.SpiWriteByte(0xC1, 0x1FF);  // masked to 7 and 8 bits
    EXPECT_THAT(
        rig.driver.bulkWrites(0),
        ElementsAre(Bytes{0x0D, 0x01, 0x02, 0xB5, 0x00, 0xB4, 0x04},
                    Bytes{0x0D, 0x01, 0x01, 0xBE, 0x80}, Bytes{0x0D, 0x01, 0x01, 0xC1, 0xFF}));
    EXPECT_EQ(rig.usbSpi.UsbWordCount, 1);
}

TEST(RegisterAccess, ParallelReadIsRequestFrameThenAnswerFrame) {
    test::SpiRig rig;
    rig.settings.Interface = InterfaceParallel;
    rig.sensor.pokeWord(0x04, 0x0123);
    rig.regs.ReadRegister(XACCL_OUT);
    EXPECT_THAT(rig.sent(0), ElementsAre(0x0400, 0x0000));
    EXPECT_EQ(rig.regs.RegisterReadResult.Value, 0x0123);
    EXPECT_FALSE(rig.board.selected());
}

TEST(RegisterAccess, NoInterfaceSendsNothingReadsZeroAndStillPauses) {
    test::SpiRig rig;
    rig.settings.Interface = InterfaceNone;
    rig.driver.clearRecords();
    rig.regs.ReadRegister(TEMP_OUT);
    EXPECT_EQ(rig.regs.RegisterReadResult.Value, 0);
    EXPECT_FLOAT_EQ(rig.regs.RegisterReadResult.Scaled, rig.table[TEMP_OUT].RegOffset);
    rig.regs.WriteRegister(MSC_CTRL, 4);
    rig.settings.Interface = 5;
    rig.regs.WriteRegister(GLOB_CMD, 0x80);
    EXPECT_EQ(rig.regs.SpiRead(0x04), 0);
    EXPECT_EQ(rig.text(), "");
    EXPECT_THAT(rig.driver.requests(), IsEmpty());
    EXPECT_FALSE(rig.board.hasBase());
    EXPECT_EQ(test::Pauses(), 3);
}

TEST(RegisterAccess, UsbCardNotReadySendsNothing) {
    test::SpiRig rig;
    rig.settings.Interface = InterfaceUsb;
    rig.usb.SetUsbReady(false);
    rig.driver.clearRecords();
    rig.regs.WriteRegister(MSC_CTRL, 4);
    rig.regs.ReadRegister(XACCL_OUT);
    EXPECT_THAT(rig.driver.requests(), IsEmpty());
    EXPECT_EQ(rig.text(), "");
    EXPECT_THAT(rig.messages.boxes, IsEmpty());
}

}  // namespace
}  // namespace quenlor
