#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "core/Delay.h"
#include "platform/PortIo.h"
#include "platform/fake/FakeClock.h"
#include "platform/fake/RecordingCursor.h"
#include "spi/ParallelSpi.h"
#include "tests/spi/SpiRig.h"

namespace quenlor {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

// Records every port access in order; status reads answer from a script
// (then repeat `status`).
class RecordingPort : public PortIo {
  public:
    struct Access {
        bool write;
        std::int16_t port;
        std::int16_t value;
        bool operator==(const Access&) const = default;
    };
    std::vector<Access> accesses;
    std::deque<std::int16_t> script;
    std::int16_t status = 0;
    // Pause counts seen at each access, to place the pauses in the sequence.
    std::vector<int> pausesAt;

    void vbOut(std::int16_t port, std::int16_t value) override {
        accesses.push_back({true, port, value});
        pausesAt.push_back(test::Pauses());
    }
    std::int16_t vbInp(std::int16_t port) override {
        std::int16_t v = status;
        if (!script.empty()) {
            v = script.front();
            script.pop_front();
        }
        accesses.push_back({false, port, v});
        pausesAt.push_back(test::Pauses());
        return v;
    }
    std::vector<std::int16_t> writes() const {
        std::vector<std::int16_t> out;
        for (const auto& a : accesses)
            if (a.write)
                out.push_back(a.value);
        return out;
    }
};

class ParallelSpiTest : public ::testing::Test {
  protected:
    ParallelSpiTest() {
        test::PauseSteps() = 0;
        settings.Interface = InterfaceParallel;
        settings.PortAddress = 0x278;
        settings.DelayCalibrated = true;
        settings.DelayCount10us = 1;
    }

    Settings settings;
    FakeClock clock;
    RecordingCursor cursor;
    Delay delay{settings, clock, cursor, &test::CountingSpin};
    RecordingPort port;
    ParallelSpi spi{settings, port, delay};
};

TEST_F(ParallelSpiTest, WordIsSelectSixteenBitCellsMsbFirstThenIdleAndOnePause) {
    spi.ParSpiWord(0xB404);

    // 1011 0100 0000 0100
    const std::vector<std::int16_t> one{7, 3, 1, 5}, zero{7, 7, 5, 5};
    std::vector<std::int16_t> expected{4, 5};
    for (char b : std::string("1011010000000100")) {
        const auto& cell = b == '1' ? one : zero;
        expected.insert(expected.end(), cell.begin(), cell.end());
    }
    expected.push_back(0);
    EXPECT_THAT(port.writes(), ElementsAreArray(expected));
    for (const auto& a : port.accesses)
        EXPECT_EQ(a.port, 0x278);
    // No pause inside the frame; one after the final 0.
    EXPECT_EQ(port.pausesAt.back(), 0);
    EXPECT_EQ(test::Pauses(), 1);
}

TEST_F(ParallelSpiTest, WordSendsOnlyItsLow16Bits) {
    spi.ParSpiWord(0x7FFFB404);
    const auto high = port.writes();
    port.accesses.clear();
    spi.ParSpiWord(0xB404);
    EXPECT_EQ(high, port.writes());
}

TEST_F(ParallelSpiTest, ReadSamplesInvertedStatusBit6AfterEachClockFall) {
    port.status = 0x40;
    EXPECT_EQ(spi.ParSpiRead(0x04), 0);
    port.status = 0x00;
    EXPECT_EQ(spi.ParSpiRead(0x04), 0xFFFF);
    port.status = static_cast<std::int16_t>(0xBF);  // every other bit set, bit 6 clear
    EXPECT_EQ(spi.ParSpiRead(0x04), 0xFFFF);

    // 0xA5C3 MSB first, each 1 shown as bit 6 clear.
    port.accesses.clear();
    const std::uint16_t answer = 0xA5C3;
    for (int bit = 15; bit >= 0; --bit)
        port.script.push_back(((answer >> bit) & 1) != 0 ? 0x80 : 0xC0);
    EXPECT_EQ(spi.ParSpiRead(0x04), 0xA5C3);
}

TEST_F(ParallelSpiTest, ReadSendsRequestFrameThenClocksAnswerFrameWithDataHigh) {
    spi.ParSpiRead(0x84);  // only the low 7 bits address

    std::vector<RecordingPort::Access> request(port.accesses.begin(), port.accesses.begin() + 67);
    std::vector<RecordingPort::Access> answer(port.accesses.begin() + 67, port.accesses.end());
    port.accesses = request;
    std::vector<std::int16_t> words = port.writes();
    RecordingPort reference;
    ParallelSpi refSpi{settings, reference, delay};
    refSpi.ParSpiWord(0x0400);
    EXPECT_EQ(words, reference.writes());

    ASSERT_EQ(answer.size(), 2u + 16u * 3u + 1u);
    EXPECT_EQ(answer[0], (RecordingPort::Access{true, 0x278, 4}));
    EXPECT_EQ(answer[1], (RecordingPort::Access{true, 0x278, 5}));
    for (std::size_t i = 0; i < 16; ++i) {
        EXPECT_EQ(answer[2 + 3 * i], (RecordingPort::Access{true, 0x278, 7}));
        EXPECT_FALSE(answer[3 + 3 * i].write);
        EXPECT_EQ(answer[3 + 3 * i].port, 0x279);
        EXPECT_EQ(answer[4 + 3 * i], (RecordingPort::Access{true, 0x278, 5}));
    }
    EXPECT_EQ(answer.back(), (RecordingPort::Access{true, 0x278, 0}));
    // The request frame's pause comes before the answer frame starts.
    EXPECT_EQ(port.pausesAt[67], 1);
    EXPECT_EQ(port.pausesAt.back(), 1);
    EXPECT_EQ(test::Pauses(), 2 + 1);  // two of this read, one of the reference frame
}

TEST_F(ParallelSpiTest, PortInitSetsStatusLatchPausesThenIdlesData) {
    spi.ParPortInit();
    EXPECT_THAT(port.accesses, ElementsAre(RecordingPort::Access{true, 0x279, 0x40},
                                           RecordingPort::Access{true, 0x278, 0}));
    EXPECT_EQ(port.pausesAt[1], 1);
    EXPECT_EQ(test::Pauses(), 1);
}

TEST_F(ParallelSpiTest, OtherInterfacesLeaveThePortAlone) {
    port.status = 0;
    for (std::int16_t iface : {InterfaceNone, InterfaceUsb, std::int16_t{7}}) {
        settings.Interface = iface;
        spi.ParSpiWord(0xB404);
        EXPECT_EQ(spi.ParSpiRead(0x04), 0);
        spi.ParPortInit();
    }
    EXPECT_THAT(port.accesses, IsEmpty());
    EXPECT_EQ(test::Pauses(), 0);
}

}  // namespace
}  // namespace quenlor
