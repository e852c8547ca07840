#include "usb/UsbSpiCard.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fake/FaultyUsbDriver.h"
#include "platform/fake/RecordingMessageBoxes.h"
#include "sim/SimAdapterCard.h"
#include "sim/SimSensor.h"

namespace quenlor {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Texts = std::vector<std::string>;

// A selected card at "Ezusb-0" with a sensor on a frozen clock.
class UsbSpiCardTest : public ::testing::Test {
  protected:
    UsbSpiCardTest() {
        card.placeCard(0);
        usb.FindUsbBuffers();
        boxes.clear();
        driver.setRecording(true);
    }

    // Writes a command straight to the card, past the code under test.
    void rawWrite(std::vector<std::uint8_t> bytes) {
        const DeviceHandle h = card.open("Ezusb-0");
        const std::array<std::uint8_t, 4> pipe0{0, 0, 0, 0};
        std::uint32_t returned = 0;
        ASSERT_TRUE(card.ioControl(h, kIoctlBulkWrite, pipe0, bytes, returned));
        card.close(h);
    }

    double now = 10.0;
    SimSensor sensor{7, [this] { return now; }};
    SimAdapterCard card{sensor};
    FaultyUsbDriver driver{card};
    RecordingMessageBoxes boxes;
    Settings settings;
    EzUsbAccess usb{driver, boxes};
    UsbSpiCard spi{usb, settings};
};

TEST_F(UsbSpiCardTest, RegisterReadRequestComesBackFromTheSensor) {
    ASSERT_TRUE(usb.UsbReady());
    spi.UsbWriteWords[1] = 0x0400;
    spi.UsbWriteWords[2] = 0x0400;
    settings.UsbSpiChannel = 1;
    const std::uint16_t expected = sensor.peekWord(SimSensor::kXAcclOut);
    std::uint8_t count = 2;
    spi.UsbSpiTransfer(count);

    EXPECT_EQ(driver.lastBulkWrite(0), (Bytes{0x0D, 0x01, 0x02, 0x04, 0x00, 0x04, 0x00}));
    EXPECT_EQ(spi.UsbReadWords[2], expected);
    EXPECT_TRUE(usb.UsbReady());
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(driver.openHandles(), 0);
}

TEST_F(UsbSpiCardTest, ReadAsksForTwoBytesPerWord) {
    spi.UsbWriteWords[1] = 0x0400;
    spi.UsbWriteWords[2] = 0x0400;
    std::uint8_t count = 2;
    spi.UsbSpiTransfer(count);
    const auto& last = driver.requests().back();
    ASSERT_EQ(last.controlCode, kIoctlBulkRead);
    EXPECT_EQ(last.outputSize, 4u);
    EXPECT_EQ(driver.opens(0), 2);  // one at the scan, one for the transfer
    EXPECT_EQ(driver.openHandles(), 0);
}

TEST_F(UsbSpiCardTest, FrameCarriesHighByteFirstAndOnlyTheLow16Bits) {
    spi.UsbWriteWords[1] = 0x8312;
    spi.UsbWriteWords[2] = 0x8312;
    std::uint8_t count = 2;
    spi.UsbSpiTransfer(count);
    EXPECT_EQ(driver.lastBulkWrite(0), (Bytes{0x0D, 0x01, 0x02, 0x83, 0x12, 0x83, 0x12}));

    spi.UsbWriteWords[1] = 0xFF00;
    spi.UsbWriteWords[2] = 0x12345;
    settings.UsbSpiPolarity = false;
    spi.UsbSpiTransfer(count);
    EXPECT_EQ(driver.lastBulkWrite(0), (Bytes{0x0E, 0x01, 0x02, 0xFF, 0x00, 0x23, 0x45}));
    EXPECT_FALSE(card.lastPolarityPositive(0));
}

TEST_F(UsbSpiCardTest, AnswerWordsAreHighByteFirstAndPositive) {
    // The sensor answers each read request one frame later.
    sensor.pokeWord(0x20, 0x1234);
    sensor.pokeWord(0x22, 0xABCD);
    spi.UsbWriteWords[1] = 0x2000;
    std::uint8_t one = 1;
    spi.UsbSpiTransfer(one);
    spi.UsbWriteWords[1] = 0x2200;
    spi.UsbWriteWords[2] = 0x0000;
    std::uint8_t two = 2;
    spi.UsbSpiTransfer(two);
    EXPECT_EQ(spi.UsbReadWords[1], 0x1234);
    EXPECT_EQ(spi.UsbReadWords[2], 0xABCD);
}

TEST_F(UsbSpiCardTest, ChannelIsBroughtIntoRangeAndStored) {
    spi.UsbWriteWords[1] = 0x5600;
    std::uint8_t count = 1;
    settings.UsbSpiChannel = 0;
    spi.UsbSpiTransfer(count);
    EXPECT_EQ(settings.UsbSpiChannel, 1);
    EXPECT_EQ(driver.lastBulkWrite(0)[1], 1);

    settings.UsbSpiChannel = 7;
    spi.UsbSpiTransfer(count);
    EXPECT_EQ(settings.UsbSpiChannel, 5);
    EXPECT_EQ(driver.lastBulkWrite(0)[1], 5);
    EXPECT_EQ(spi.UsbReadWords[1], 0xFFFF);  // nothing on channel 5
}

TEST_F(UsbSpiCardTest, CountIsKeptWithinTheBuffers) {
    for (std::size_t i = 1; i <= 16; ++i)
        spi.UsbWriteWords[i] = 0x5600;
    std::uint8_t count = 40;
    spi.UsbSpiTransfer(count);
    EXPECT_EQ(count, 16);
    EXPECT_EQ(spi.UsbWordCount, 16);
    EXPECT_EQ(driver.lastBulkWrite(0).size(), 35u);
    EXPECT_EQ(spi.UsbReadWords[16], SimSensor::kProductId);

    count = 0;
    spi.UsbSpiTransfer(count);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(spi.UsbWordCount, 1);
    EXPECT_EQ(driver.lastBulkWrite(0).size(), 5u);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(UsbSpiCardTest, NothingHappensWhileNotReady) {
    usb.SetUsbReady(false);
    spi.UsbReadWords[1] = 77;
    spi.UsbWordCount = 9;
    const int opens = driver.opens(0);
    std::uint8_t count = 2;
    std::uint8_t delay = 0;
    std::uint8_t bits = 0x10;
    spi.UsbSpiTransfer(count);
    spi.UsbSpiSetup(delay);
    spi.UsbSpiSetBits(bits);
    spi.UsbSpiReadSetup();
    EXPECT_EQ(driver.opens(0), opens);
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(spi.UsbReadWords[1], 77);
    EXPECT_EQ(spi.UsbWordCount, 9);
    EXPECT_EQ(delay, 0);
    EXPECT_EQ(settings.UsbSpiDelay, 25);
}

TEST_F(UsbSpiCardTest, SetupCommandsReachTheCard) {
    std::uint8_t delay = 0;
    spi.UsbSpiSetup(delay);
    EXPECT_EQ(driver.lastBulkWrite(0), (Bytes{0x0B, 0x01}));
    EXPECT_EQ(delay, 1);
    EXPECT_EQ(settings.UsbSpiDelay, 1);

    std::uint8_t bits = 0xFF;
    spi.UsbSpiSetBits(bits);
    EXPECT_EQ(driver.lastBulkWrite(0), (Bytes{0x0C, 0xFF}));
    EXPECT_EQ(settings.UsbSpiBits, 0xFF);

    delay = 0x19;
    spi.UsbSpiSetup(delay);
    settings.UsbSpiBits = 0;
    spi.UsbSpiReadSetup();
    EXPECT_EQ(driver.lastBulkWrite(0), (Bytes{0x01}));
    EXPECT_EQ(settings.UsbSpiDelay, 25);
    EXPECT_EQ(settings.UsbSpiBits, 0x78);
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_TRUE(usb.UsbReady());
    EXPECT_EQ(driver.openHandles(), 0);
}

// The rows of the command failure table.

TEST_F(UsbSpiCardTest, FailedReadSetupWriteStillReadsTheAnswer) {
    // An answer left queued on the card by an earlier read-back command.
    rawWrite({0x0B, 0x33});
    rawWrite({0x0C, 0x50});
    rawWrite({0x01});

    driver.failBulkWrite(0);
    spi.UsbSpiReadSetup();
    EXPECT_EQ(boxes.texts(), Texts{"Error Setting up SPI"});
    EXPECT_FALSE(usb.UsbReady());
    EXPECT_EQ(settings.UsbSpiDelay, 0x33);
    EXPECT_EQ(settings.UsbSpiBits, 0x50);
}

TEST_F(UsbSpiCardTest, FailedReadSetupAnswerLeavesDelayZero) {
    settings.UsbSpiBits = 0x28;
    driver.failBulkRead(0);
    spi.UsbSpiReadSetup();
    EXPECT_EQ(boxes.texts(), Texts{"Error Reading SPI"});
    EXPECT_FALSE(usb.UsbReady());
    EXPECT_EQ(settings.UsbSpiDelay, 0);
    EXPECT_EQ(settings.UsbSpiBits, 0x28);
    EXPECT_EQ(driver.openHandles(), 0);
}

// An answer that reports fewer bytes than the two asked for is a failed read:
// neither the leftover command byte nor a lone delay byte becomes a setting.
TEST_F(UsbSpiCardTest, ShortReadSetupAnswerIsAFailedRead) {
    for (const std::uint32_t delivered : {0u, 1u}) {
        SCOPED_TRACE(delivered);
        usb.SetUsbReady(true);
        boxes.clear();
        settings.UsbSpiBits = 0x28;
        driver.answerShort(0, kIoctlBulkRead, delivered);
        spi.UsbSpiReadSetup();
        EXPECT_EQ(boxes.texts(), Texts{"Error Reading SPI"});
        EXPECT_EQ(boxes.boxes.at(0).title, kAppTitle);
        EXPECT_FALSE(usb.UsbReady());
        EXPECT_EQ(settings.UsbSpiDelay, 0);
        EXPECT_EQ(settings.UsbSpiBits, 0x28);
        EXPECT_EQ(driver.openHandles(), 0);
    }

    // The card itself is fine: a whole answer reads back as before.
    usb.SetUsbReady(true);
    boxes.clear();
    spi.UsbSpiReadSetup();
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(settings.UsbSpiDelay, 25);
    EXPECT_EQ(settings.UsbSpiBits, 0x78);
}

TEST_F(UsbSpiCardTest, FailedDelayAndBitsWritesKeepTheNewValues) {
    driver.failBulkWrite(0);
    std::uint8_t delay = 40;
    spi.UsbSpiSetup(delay);
    EXPECT_EQ(boxes.texts(), Texts{"Error Setting up SPI"});
    EXPECT_FALSE(usb.UsbReady());
    EXPECT_EQ(settings.UsbSpiDelay, 40);

    usb.SetUsbReady(true);
    boxes.clear();
    driver.failBulkWrite(0);
    std::uint8_t bits = 0x08;
    spi.UsbSpiSetBits(bits);
    EXPECT_EQ(boxes.texts(), Texts{"Error Setting SPI Bits"});
    EXPECT_FALSE(usb.UsbReady());
    EXPECT_EQ(settings.UsbSpiBits, 0x08);
    EXPECT_EQ(driver.openHandles(), 0);
}

// A failed transfer step: its message once, UsbReady false, UsbReadWords kept.
struct TransferFault {
    const char* name;
    std::uint32_t code;
    std::uint32_t shortBytes;  // 0: the request fails
    const char* message;
};

class TransferFaultTest : public UsbSpiCardTest,
                          public ::testing::WithParamInterface<TransferFault> {};

TEST_P(TransferFaultTest, LeavesReadWordsAndStopsLaterCommands) {
    const TransferFault& f = GetParam();
    spi.UsbReadWords[1] = 111;
    spi.UsbReadWords[2] = 222;
    spi.UsbWriteWords[1] = 0x5600;
    spi.UsbWriteWords[2] = 0x5600;
    if (f.shortBytes == 0) {
        driver.failRequest(0, f.code);
    } else {
        driver.answerShort(0, f.code, f.shortBytes);
    }
    std::uint8_t count = 2;
    spi.UsbSpiTransfer(count);
    EXPECT_EQ(boxes.texts(), Texts{f.message});
    EXPECT_FALSE(usb.UsbReady());
    EXPECT_EQ(spi.UsbReadWords[1], 111);
    EXPECT_EQ(spi.UsbReadWords[2], 222);
    EXPECT_EQ(driver.openHandles(), 0);

    const int opens = driver.opens(0);
    spi.UsbSpiTransfer(count);
    EXPECT_EQ(driver.opens(0), opens);
    EXPECT_EQ(boxes.boxes.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, TransferFaultTest,
    ::testing::Values(TransferFault{"frame_write", kIoctlBulkWrite, 0, "Error Writing SPI"},
                      TransferFault{"answer_read", kIoctlBulkRead, 0, "Error Reading SPI"},
                      TransferFault{"short_answer", kIoctlBulkRead, 3, "Error Reading SPI"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(UsbSpiCardTest, UnpluggedCardFailsEveryStepWithoutClosingNoHandle) {
    card.unplug(0);
    spi.UsbSpiReadSetup();
    EXPECT_EQ(boxes.texts(), (Texts{"Error Setting up SPI", "Error Reading SPI"}));
    EXPECT_FALSE(usb.UsbReady());

    usb.SetUsbReady(true);
    boxes.clear();
    std::uint8_t count = 1;
    spi.UsbSpiTransfer(count);
    EXPECT_EQ(boxes.texts(), Texts{"Error Writing SPI"});
    EXPECT_EQ(driver.closesOfNoHandle(), 0);
}

TEST_F(UsbSpiCardTest, CardUnpluggedBetweenFrameAndAnswer) {
    spi.UsbReadWords[1] = 5;
    driver.unplugAfter(0, 1);
    std::uint8_t count = 1;
    spi.UsbWriteWords[1] = 0x5600;
    spi.UsbSpiTransfer(count);
    EXPECT_EQ(boxes.texts(), Texts{"Error Reading SPI"});
    EXPECT_EQ(spi.UsbReadWords[1], 5);
    EXPECT_EQ(driver.openHandles(), 0);
    EXPECT_EQ(driver.closesOfUnknownHandle(), 0);
}

}  // namespace
}  // namespace quenlor
