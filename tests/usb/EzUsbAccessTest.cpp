#include "usb/EzUsbAccess.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fake/FaultyUsbDriver.h"
#include "platform/fake/RecordingMessageBoxes.h"
#include "sim/SimAdapterCard.h"
#include "sim/SimSensor.h"

namespace quenlor {
namespace {

using Texts = std::vector<std::string>;

const std::string kNoBuffers = "No USB Buffers Found, Please Verify Setup and Restart";
const std::string kNoValidBuffers = "No Valid USB Buffers Found, Please Verify Setup and Restart";
const std::string kBoardInfo = "Error getting Board Info";

class EzUsbAccessTest : public ::testing::Test {
  protected:
    void expectClean() const {
        EXPECT_EQ(driver.openHandles(), 0) << "a handle was left open";
        EXPECT_EQ(driver.closesOfNoHandle(), 0) << "the no-handle value was closed";
        EXPECT_EQ(driver.closesOfUnknownHandle(), 0);
    }

    SimSensor sensor{3, [] { return 0.0; }};
    SimAdapterCard card{sensor};
    FaultyUsbDriver driver{card};
    RecordingMessageBoxes boxes;
    EzUsbAccess usb{driver, boxes};
};

TEST_F(EzUsbAccessTest, NoCardAnywhereGivesOneMessageAndNoSelection) {
    usb.FindUsbBuffers();
    EXPECT_EQ(boxes.texts(), Texts{kNoBuffers});
    EXPECT_EQ(boxes.boxes[0].title, "Quenlor_Eval_Rev_2");
    EXPECT_EQ(usb.UsbCardCount, 0);
    EXPECT_FALSE(usb.UsbReady());
    EXPECT_EQ(usb.UsbSelectedIndex, -1);
    expectClean();
}

TEST_F(EzUsbAccessTest, DriverRecordsAreExactlyTheDriversLayout) {
    card.placeCard(0);
    driver.setRecording(true);
    usb.FindUsbBuffers();
    ASSERT_TRUE(usb.UsbReady());
    int tables = 0, descriptors = 0, strings = 0;
    for (const FaultyUsbDriver::Request& r : driver.requests()) {
        EXPECT_TRUE(r.ok) << std::hex << r.controlCode;
        switch (r.controlCode) {
            case kIoctlPipeTable:
                ++tables;
                EXPECT_EQ(r.input, std::vector<std::uint8_t>(356, 0));
                EXPECT_EQ(r.outputSize, 356u);
                break;
            case kIoctlDeviceDescriptor:
                ++descriptors;
                EXPECT_EQ(r.input, std::vector<std::uint8_t>(147, 0));
                EXPECT_EQ(r.outputSize, 147u);
                break;
            case kIoctlStringDescriptor:
                ++strings;
                ASSERT_EQ(r.input.size(), 5u);
                EXPECT_TRUE(r.input[0] == 1 || r.input[0] == 2);
                EXPECT_EQ((std::vector<std::uint8_t>(r.input.begin() + 1, r.input.end())),
                          (std::vector<std::uint8_t>{0, 0, 0, 0x1B}));
                break;
            default:
                EXPECT_EQ(r.input.size(), 4u) << "pipe number record";
                EXPECT_LE(r.input[0], 16);
                EXPECT_EQ(r.input[1] | r.input[2] | r.input[3], 0);
        }
    }
    EXPECT_GT(tables, 0);
    EXPECT_GT(descriptors, 0);
    EXPECT_EQ(strings, 4) << "head and whole of descriptors 1 and 2";
    expectClean();
}

TEST_F(EzUsbAccessTest, SingleCardAtNameTwoIsDescribedAndSelected) {
    SimCardConfig config;
    config.revisionWhole = 1;
    config.revisionTenths = 12;
    card.placeCard(2, config);
    usb.FindUsbBuffers();

    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(usb.UsbCardCount, 1);
    EXPECT_EQ(usb.UsbSelectedIndex, 2);
    EXPECT_TRUE(usb.UsbReady());
    const UsbCardRecord& sel = usb.UsbSelectedCard;
    EXPECT_EQ(sel.DeviceName, "Ezusb-2");
    EXPECT_EQ(sel.BoardType, "Tarrow");
    EXPECT_EQ(sel.Descriptor0, config.descriptor1);
    EXPECT_EQ(sel.Descriptor1, config.descriptor2);
    EXPECT_FLOAT_EQ(sel.DriverRev, 2.2f);
    EXPECT_EQ(sel.Speed, "2");
    EXPECT_EQ(sel.UnitNumber, 0);
    for (std::size_t n : {0u, 1u, 3u}) {
        EXPECT_FALSE(usb.UsbCards[n].Found);
        EXPECT_EQ(usb.UsbCards[n].DeviceName, "");
    }
    // The selection is a copy, not a view of the scan's record.
    usb.UsbCards[2].Descriptor0 = "changed";
    EXPECT_EQ(usb.UsbSelectedCard.Descriptor0, config.descriptor1);
    expectClean();
}

TEST_F(EzUsbAccessTest, LowestOfSeveralCardsIsSelectedAndKestinIsRecognised) {
    SimCardConfig kestin;
    kestin.productId = kProductKestin;
    card.placeCard(1);
    card.placeCard(3, kestin);
    usb.FindUsbBuffers();
    EXPECT_EQ(usb.UsbCardCount, 2);
    EXPECT_EQ(usb.UsbSelectedIndex, 1);
    EXPECT_EQ(usb.UsbSelectedCard.DeviceName, "Ezusb-1");
    EXPECT_EQ(usb.UsbCards[3].BoardType, "Kestin");
    EXPECT_TRUE(usb.UsbCards[3].Found);
    expectClean();
}

TEST_F(EzUsbAccessTest, ForeignDevicesArePassedOverSilently) {
    SimCardConfig otherProduct;
    otherProduct.productId = 0x1234;
    SimCardConfig otherVendor;
    otherVendor.vendorId = 0x04B4;
    card.placeCard(0, otherProduct);
    card.placeCard(1, otherVendor);
    usb.FindUsbBuffers();
    EXPECT_EQ(usb.UsbCardCount, 0);
    EXPECT_EQ(usb.UsbCards[0].DeviceName, "");
    EXPECT_FALSE(usb.UsbCards[0].Found);
    EXPECT_EQ(boxes.texts(), Texts{kNoBuffers});
    expectClean();
}

TEST_F(EzUsbAccessTest, FailedDeviceDescriptorRequestReadsAsNoCard) {
    card.placeCard(0);
    driver.failRequest(0, kIoctlDeviceDescriptor);
    usb.FindUsbBuffers();
    EXPECT_EQ(usb.UsbCardCount, 0);
    EXPECT_EQ(boxes.texts(), Texts{kNoBuffers});
}

TEST_F(EzUsbAccessTest, NameThatCannotBeOpenedIsSkipped) {
    card.placeCard(1);
    card.placeCard(2);
    driver.failOpen(1);
    usb.FindUsbBuffers();
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(usb.UsbCardCount, 1);
    EXPECT_EQ(usb.UsbSelectedIndex, 2);
    expectClean();
}

TEST_F(EzUsbAccessTest, OnlyCardFailingToDescribeItselfLeavesNothingSelected) {
    card.placeCard(0);
    // The third string request is the first one for descriptor 2.
    driver.failRequest(0, kIoctlStringDescriptor, 3);
    usb.FindUsbBuffers();
    EXPECT_EQ(boxes.texts(), (Texts{kBoardInfo, kNoValidBuffers}));
    EXPECT_EQ(usb.UsbCardCount, 1);
    EXPECT_FALSE(usb.UsbReady());
    EXPECT_EQ(usb.UsbSelectedIndex, -1);
    EXPECT_FALSE(usb.UsbCards[0].Found);
    // Fields filled before the failure keep their values.
    EXPECT_EQ(usb.UsbCards[0].Descriptor0, SimCardConfig{}.descriptor1);
    EXPECT_EQ(usb.UsbCards[0].Descriptor1, "None");
    expectClean();
}

TEST_F(EzUsbAccessTest, EveryFailingCardIsReportedOnceBeforeTheFinalMessage) {
    card.placeCard(0);
    card.placeCard(3);
    driver.failBulkWrite(0);
    driver.failBulkRead(3);
    usb.FindUsbBuffers();
    EXPECT_EQ(boxes.texts(), (Texts{kBoardInfo, kBoardInfo, kNoValidBuffers}));
    EXPECT_EQ(usb.UsbSelectedIndex, -1);
    EXPECT_FALSE(usb.UsbReady());
}

TEST_F(EzUsbAccessTest, FailingCardIsPassedForTheNextDescribedOne) {
    card.placeCard(0);
    card.placeCard(2);
    driver.failRequest(0, kIoctlStringDescriptor, 1);
    usb.FindUsbBuffers();
    EXPECT_EQ(boxes.texts(), Texts{kBoardInfo});
    EXPECT_EQ(usb.UsbSelectedIndex, 2);
    EXPECT_TRUE(usb.UsbReady());
}

// Each step of the board description that can fail, as the n-th request of a
// control code during the scan of a single card.
struct BoardInfoFault {
    const char* name;
    std::uint32_t code;
    int nth;
};

class BoardInfoFaultTest : public EzUsbAccessTest,
                           public ::testing::WithParamInterface<BoardInfoFault> {};

TEST_P(BoardInfoFaultTest, GivesOneBoardInfoMessage) {
    card.placeCard(0);
    driver.failRequest(0, GetParam().code, GetParam().nth);
    usb.FindUsbBuffers();
    EXPECT_EQ(boxes.texts(), (Texts{kBoardInfo, kNoValidBuffers}));
    EXPECT_FALSE(usb.UsbCards[0].Found);
    EXPECT_FALSE(usb.UsbReady());
    expectClean();
}

INSTANTIATE_TEST_SUITE_P(
    Steps, BoardInfoFaultTest,
    ::testing::Values(BoardInfoFault{"descriptor1_length", kIoctlStringDescriptor, 1},
                      BoardInfoFault{"descriptor1_text", kIoctlStringDescriptor, 2},
                      BoardInfoFault{"descriptor2_text", kIoctlStringDescriptor, 4},
                      BoardInfoFault{"revision_write", kIoctlBulkWrite, 1},
                      BoardInfoFault{"revision_read", kIoctlBulkRead, 1},
                      BoardInfoFault{"pipe3_table", kIoctlPipeTable, 3}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(EzUsbAccessTest, SpeedFollowsThePacketSizeOfPipeThree) {
    SimCardConfig full;
    full.pipe3PacketSize = SimCardConfig::kFullSpeedPacket;
    SimCardConfig none;
    none.pipe3PacketSize = 0;
    card.placeCard(0, full);
    card.placeCard(1);
    card.placeCard(2, none);
    usb.ScanUsbCards();
    EXPECT_EQ(usb.UsbCards[0].Speed, "1.1");
    EXPECT_EQ(usb.UsbCards[1].Speed, "2");
    EXPECT_FALSE(usb.UsbCards[2].Found);
    EXPECT_EQ(boxes.texts(), Texts{kBoardInfo});
}

TEST_F(EzUsbAccessTest, RescanEmptiesRecordsOfNamesThatNoLongerAnswer) {
    card.placeCard(0);
    usb.FindUsbBuffers();
    card.removeCard(0);
    card.placeCard(1);
    usb.FindUsbBuffers();
    EXPECT_EQ(usb.UsbCards[0].DeviceName, "");
    EXPECT_FALSE(usb.UsbCards[0].Found);
    EXPECT_EQ(usb.UsbCards[0].BoardType, "Tarrow");  // other fields are not cleared
    EXPECT_EQ(usb.UsbSelectedIndex, 1);
}

TEST_F(EzUsbAccessTest, StringDescriptorTextTakesTheLowBytesOfTheCodeUnits) {
    SimCardConfig config;
    config.descriptor1 = "ABCD";
    config.descriptor2 = "";
    card.placeCard(0, config);
    const DeviceHandle h = usb.OpenUsbDevice("Ezusb-0");
    ASSERT_NE(h, kNoHandle);
    EXPECT_EQ(usb.ReadUsbString(h, 1), "ABCD");
    EXPECT_EQ(usb.ReadUsbString(h, 2), "");  // length 2: no text
    EXPECT_EQ(usb.ReadUsbString(h, 5), "None");

    // A descriptor claiming 10 bytes of which only 6 come back is cut there.
    driver.answerShort(0, kIoctlStringDescriptor, 6, 2);
    EXPECT_EQ(usb.ReadUsbString(h, 1), "AB");
    // No length byte at all reads as length 0.
    driver.answerShort(0, kIoctlStringDescriptor, 0, 1);
    EXPECT_EQ(usb.ReadUsbString(h, 1), "");
    usb.CloseUsbDevice(h);

    EXPECT_EQ(usb.ReadUsbString(kNoHandle, 1), "None");
    expectClean();
}

TEST_F(EzUsbAccessTest, BulkTransferDirectionComesFromThePipeTable) {
    card.placeCard(0);
    driver.setRecording(true);
    const DeviceHandle h = usb.OpenUsbDevice("Ezusb-0");
    std::array<std::uint8_t, 3> buffer{0x00, 0, 0};
    std::int32_t length = 1;
    EXPECT_EQ(usb.UsbBulkTransfer(h, 0, buffer.data(), length), 1);
    EXPECT_EQ(driver.requests().back().controlCode, kIoctlBulkWrite);
    length = 2;
    EXPECT_EQ(usb.UsbBulkTransfer(h, 1, buffer.data(), length), 1);
    EXPECT_EQ(driver.requests().back().controlCode, kIoctlBulkRead);
    EXPECT_EQ(length, 2);
    EXPECT_EQ(buffer[0], SimCardConfig{}.revisionWhole);

    // Nothing queued: the read fails and reports nothing transferred.
    length = 2;
    EXPECT_EQ(usb.UsbBulkTransfer(h, 1, buffer.data(), length), 0);
    EXPECT_EQ(length, 0);
    // With the pipe table unreadable every pipe looks like an OUT pipe.
    driver.failRequest(0, kIoctlPipeTable);
    length = 2;
    usb.UsbBulkTransfer(h, 1, buffer.data(), length);
    EXPECT_EQ(driver.requests().back().controlCode, kIoctlBulkWrite);
    usb.CloseUsbDevice(h);

    length = 5;
    EXPECT_EQ(usb.UsbBulkTransfer(kNoHandle, 0, buffer.data(), length), -2);
    EXPECT_EQ(usb.ReadPipePacketSize(kNoHandle, 3), 0);
    expectClean();
}

}  // namespace
}  // namespace quenlor
