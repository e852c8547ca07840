#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "tests/spi/SpiRig.h"

namespace quenlor {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

constexpr std::int16_t kBase = 0x378;

// Drives the board line by line, as a host that does not use ParallelSpi.
class BoardDriver {
  public:
    explicit BoardDriver(SimParallelBoard& b, std::int16_t port = kBase) : board(b), base(port) {}
    void out(std::int16_t v) { board.vbOut(base, v); }
    bool miso() { return (board.vbInp(static_cast<std::int16_t>(base + 1)) & 0x40) == 0; }
    // `bits` mode-3 cells of `word`, MSB first, sampling the answer.
    std::uint16_t frame(std::uint16_t word, int bits = 16) {
        out(4);
        out(5);
        std::uint16_t in = 0;
        for (int i = 0; i < bits; ++i) {
            // Cells past the sixteenth carry a 0 bit.
            const bool one = i < 16 && ((word >> (15 - i)) & 1) != 0;
            const std::int16_t d = one ? 0 : 4;
            out(7);
            in = static_cast<std::uint16_t>((in << 1) | (miso() ? 1 : 0));
            out(static_cast<std::int16_t>(d + 3));
            out(static_cast<std::int16_t>(d + 1));
            out(5);
        }
        out(0);
        return in;
    }
    SimParallelBoard& board;
    std::int16_t base;
};

TEST(SimParallelBoard, FramesReachTheSensorAndAnswerTheNextFrame) {
    test::SpiRig rig;
    BoardDriver host{rig.board};
    host.frame(0xB4A5);  // write A5 to the low byte of MSC_CTRL
    EXPECT_EQ(rig.sensor.peekWord(0x34) & 0xFF, 0xA5);
    rig.sensor.pokeWord(0x0A, 0x8421);
    host.frame(0x0A00);
    EXPECT_EQ(host.frame(0x0000), 0x8421);
    EXPECT_THAT(rig.sent(0), ElementsAre(0xB4A5, 0x0A00, 0x0000));
}

TEST(SimParallelBoard, GarbledFramesAreDroppedBySensor) {
    test::SpiRig rig;
    BoardDriver host{rig.board};
    const auto frames = rig.sensor.frameCount();
    const auto before = rig.sensor.peekWord(0x34);
    host.frame(0xB4A5, 15);
    host.frame(0xB4A5 >> 1, 17);  // seventeen cells
    // Deselected before any clock.
    host.out(4);
    host.out(5);
    host.out(0);
    EXPECT_EQ(rig.sensor.frameCount(), frames);
    EXPECT_EQ(rig.sensor.peekWord(0x34), before);
    EXPECT_THAT(rig.text(), HasSubstr("cut after 15 bits"));
    EXPECT_THAT(rig.text(), HasSubstr("cut after 17 bits"));
    EXPECT_THAT(rig.text(), HasSubstr("cut after 0 bits"));
}

TEST(SimParallelBoard, OnlyLineEdgesCountNotRepeatedValues) {
    test::SpiRig rig;
    BoardDriver host{rig.board};
    host.out(4);
    host.out(5);
    host.out(5);
    for (int i = 0; i < 16; ++i) {
        const std::int16_t d = (0xB4A5 >> (15 - i)) & 1 ? 0 : 4;
        host.out(7);
        host.out(7);
        host.out(static_cast<std::int16_t>(d + 3));
        host.out(static_cast<std::int16_t>(d + 1));
        host.out(static_cast<std::int16_t>(d + 1));
        host.out(5);
    }
    host.out(0);
    EXPECT_EQ(rig.sensor.peekWord(0x34) & 0xFF, 0xA5);
    // Changing the data line with the clock high is no clock edge either.
    host.out(4);
    host.out(5);
    for (int i = 0; i < 16; ++i) {
        host.out(1);
        host.out(5);
    }
    host.out(0);
    EXPECT_THAT(rig.text(), HasSubstr("cut after 0 bits"));
}

TEST(SimParallelBoard, StatusShowsInvertedOutputAndTheBoardFollowsTheHostsBase) {
    test::SpiRig rig;
    EXPECT_EQ(rig.board.vbInp(kBase + 1), 0xFF);  // nothing driven yet

    BoardDriver host{rig.board, 0x278};
    host.out(0);
    EXPECT_EQ(rig.board.vbInp(0x279), SimParallelBoard::kStatusOtherBits);  // line idles high
    EXPECT_EQ(rig.board.vbInp(0x278), 0);
    EXPECT_EQ(rig.board.vbInp(0x27A), 0xFF);
    EXPECT_EQ(rig.board.vbInp(kBase + 1), 0xFF);

    rig.sensor.pokeWord(0x56, 0x0001);
    host.frame(0x5600);
    EXPECT_EQ(host.frame(0), 0x0001);
    // A write to the status register is ignored by the lines.
    rig.board.vbOut(0x279, 0x05);
    EXPECT_FALSE(rig.board.selected());
    EXPECT_EQ(rig.board.base(), 0x278);
}

TEST(SimParallelBoard, WorksUnderParallelSpiAtAnyPortAddressWithoutPermission) {
    test::SpiRig rig;
    rig.settings.Interface = InterfaceParallel;
    rig.board.giveio(0x3BC);
    // Addresses from 8000 hex up are negative in the 16-bit setting; status is
    // still at base + 1 as a 16-bit address (7FFF + 1 is 8000).
    for (std::int16_t base : {std::int16_t{0x3BC}, std::int16_t{0x278}, std::int16_t{0x378},
                              std::int16_t{-8176}, std::int16_t{0x7FFF}}) {
        rig.settings.PortAddress = base;
        rig.par.ParPortInit();
        rig.sensor.pokeWord(0x58, static_cast<std::uint16_t>(base));
        EXPECT_EQ(rig.par.ParSpiRead(0x58), static_cast<std::uint16_t>(base));
        EXPECT_EQ(rig.board.base(), base);
    }
    EXPECT_EQ(rig.board.permissionRequests(), 1);
}

TEST(SimParallelBoard, SwitchingPortsMidFrameEndsTheFrame) {
    test::SpiRig rig;
    BoardDriver host{rig.board};
    host.out(4);
    host.out(5);
    host.out(7);
    EXPECT_TRUE(rig.board.selected());
    rig.board.vbOut(0x278, 5);
    EXPECT_THAT(rig.text(), HasSubstr("cut after 0 bits"));
    EXPECT_EQ(rig.board.base(), 0x278);
}

}  // namespace
}  // namespace quenlor
