// The libusb back-end and the stack above it on the real libusb, with the
// adapter cards emulated below it by umockdev: run under umockdev's preload
// library (ctest sets LD_PRELOAD).
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "tests/backends/UsbBedRig.h"

namespace quenlor {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

constexpr std::uint16_t kRawA = 0x0123;
constexpr std::uint16_t kRawB = 0x0456;

class LibUsbTestBedTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(UsbTestBed::available())
            << "run under umockdev-wrapper (LD_PRELOAD=libumockdev-preload.so.0)";
        rig.sensorA.pokeWord(SimSensor::kXAcclOut, kRawA);
        rig.sensorB.pokeWord(SimSensor::kXAcclOut, kRawB);
    }

    std::int32_t readXAccl() {
        rig.regs.ReadRegister(XACCL_OUT);
        return rig.regs.RegisterReadResult.Value;
    }

    test::UsbBedRig rig;
};

TEST_F(LibUsbTestBedTest, SearchFindsNoCardThenOneThenTwoAsTheyArePluggedIn) {
    rig.usb.FindUsbBuffers();
    EXPECT_THAT(rig.messages.texts(),
                ElementsAre("No USB Buffers Found, Please Verify Setup and Restart"));
    EXPECT_FALSE(rig.usb.UsbReady());

    rig.bed.plug(1, 5, rig.sensorA);
    ASSERT_TRUE(rig.settle(1));
    rig.messages.clear();
    rig.usb.FindUsbBuffers();
    EXPECT_THAT(rig.messages.texts(), IsEmpty());
    ASSERT_TRUE(rig.usb.UsbReady());
    EXPECT_EQ(rig.usb.UsbCardCount, 1);
    EXPECT_EQ(rig.usb.UsbSelectedCard.DeviceName, "Ezusb-0");
    EXPECT_EQ(rig.usb.UsbSelectedCard.BoardType, "Tarrow");
    EXPECT_EQ(rig.usb.UsbSelectedCard.Descriptor0, "Quenlor Devices");
    EXPECT_EQ(rig.usb.UsbSelectedCard.Descriptor1, "USB to SPI Adapter");
    EXPECT_FLOAT_EQ(rig.usb.UsbSelectedCard.DriverRev, 1.5f);
    EXPECT_EQ(rig.usb.UsbSelectedCard.Speed, "2");

    SimCardConfig kestin;
    kestin.productId = kProductKestin;
    kestin.pipe3PacketSize = SimCardConfig::kFullSpeedPacket;
    kestin.revisionWhole = 2;
    kestin.revisionTenths = 2;
    rig.bed.plug(1, 9, rig.sensorB, kestin);
    ASSERT_TRUE(rig.settle(2));
    rig.usb.FindUsbBuffers();
    EXPECT_THAT(rig.messages.texts(), IsEmpty());
    EXPECT_EQ(rig.usb.UsbCardCount, 2);
    EXPECT_EQ(rig.usb.UsbSelectedIndex, 0);
    EXPECT_EQ(rig.usb.UsbCards[1].DeviceName, "Ezusb-1");
    EXPECT_EQ(rig.usb.UsbCards[1].BoardType, "Kestin");
    EXPECT_FLOAT_EQ(rig.usb.UsbCards[1].DriverRev, 2.2f);
    EXPECT_EQ(rig.usb.UsbCards[1].Speed, "1.1");
}

// While the card stays plugged in, a register read is its two bulk transfers:
// no control transfer, no claim, nothing else on the card's node but the
// reaping of those two.
TEST_F(LibUsbTestBedTest, TheStackReadsAndWritesRegistersInOneBulkOutAndOneBulkInEach) {
    rig.bed.plug(1, 5, rig.sensorA);
    rig.usb.FindUsbBuffers();
    ASSERT_TRUE(rig.usb.UsbReady());

    EXPECT_EQ(readXAccl(), kRawA);

    constexpr int kReads = 50;
    rig.bed.resetCounts(1, 5);
    for (int i = 0; i < kReads; ++i)
        EXPECT_EQ(readXAccl(), kRawA);
    const EmulatedCard::Counts counts = rig.bed.counts(1, 5);
    EXPECT_EQ(counts.bulkOut, kReads);
    EXPECT_EQ(counts.bulkIn, kReads);
    EXPECT_EQ(counts.control, 0);
    EXPECT_EQ(counts.clearHalts, 0);
    EXPECT_EQ(counts.others, 0);
    // Each URB is reaped once, after libusb found it done; a reap that finds
    // nothing yet is libusb polling the node.
    EXPECT_GE(counts.reaps, 2 * kReads);
    RecordProperty("reaps_per_read", std::to_string(counts.reaps / kReads));

    rig.regs.WriteRegister(XACCL_NULL, 0x1234);
    EXPECT_EQ(rig.sensorA.peekWord(SimSensor::kXAcclNull), 0x1234);
    EXPECT_THAT(rig.messages.texts(), IsEmpty());
}

TEST_F(LibUsbTestBedTest, ACardChosenByNameIsStillThatCardAfterAnotherIsUnplugged) {
    rig.bed.plug(1, 2, rig.sensorA);
    rig.bed.plug(1, 5, rig.sensorB);
    rig.usb.FindUsbBuffers();
    ASSERT_EQ(rig.usb.UsbCardCount, 2);
    EXPECT_EQ(readXAccl(), kRawA);

    rig.bed.unplug(1, 2);
    ASSERT_TRUE(rig.settle(1));
    // Chosen in the selection window: the record is copied as it stands.
    rig.usb.UsbSelectedCard = rig.usb.UsbCards[1];
    EXPECT_EQ(readXAccl(), kRawB);

    rig.usb.FindUsbBuffers();
    EXPECT_THAT(rig.messages.texts(), IsEmpty());
    EXPECT_EQ(rig.usb.UsbCardCount, 1);
    EXPECT_FALSE(rig.usb.UsbCards[0].Found);
    EXPECT_EQ(rig.usb.UsbSelectedIndex, 1);
    EXPECT_EQ(readXAccl(), kRawB);
}

// The card goes between the two transfers of a read, or before one: the
// failing step is told once, the card is no longer used, and nothing waits.
TEST_F(LibUsbTestBedTest, ACardPulledOutDuringAReadLoopEndsItWithTheFailingStepsMessage) {
    rig.bed.plug(1, 2, rig.sensorA);
    rig.bed.plug(1, 3, rig.sensorB);
    rig.usb.FindUsbBuffers();
    ASSERT_TRUE(rig.usb.UsbReady());

    rig.bed.unplugAfter(1, 2, 11);  // the 6th read's OUT transfer
    EXPECT_EQ(rig.readUntilFailure(100), 6);
    EXPECT_THAT(rig.messages.texts(), ElementsAre("Error Writing SPI"));
    EXPECT_FALSE(rig.usb.UsbReady());

    rig.messages.clear();
    rig.usb.UsbSelectedCard = rig.usb.UsbCards[1];
    rig.bed.unplugAfter(1, 3, 12);  // the 6th read's IN transfer
    EXPECT_EQ(rig.readUntilFailure(100), 6);
    EXPECT_THAT(rig.messages.texts(), ElementsAre("Error Reading SPI"));
    EXPECT_FALSE(rig.usb.UsbReady());
    EXPECT_EQ(rig.usbSpi.UsbReadWords[2], kRawB);  // the last answer that came

    rig.bed.unplug(1, 2);
    rig.bed.unplug(1, 3);
    ASSERT_TRUE(rig.settle(0));
    rig.messages.clear();
    rig.usb.FindUsbBuffers();
    EXPECT_THAT(rig.messages.texts(),
                ElementsAre("No USB Buffers Found, Please Verify Setup and Restart"));
}

// Root opens any file; without CAP_DAC_OVERRIDE (this thread only) the node's
// mode counts, as it does for a user.
class WithoutFileOverride {
  public:
    WithoutFileOverride() {
        header_.version = _LINUX_CAPABILITY_VERSION_3;
        syscall(SYS_capget, &header_, saved_);
        __user_cap_data_struct reduced[2] = {saved_[0], saved_[1]};
        reduced[0].effective &= ~(1u << CAP_DAC_OVERRIDE | 1u << CAP_DAC_READ_SEARCH);
        syscall(SYS_capset, &header_, reduced);
    }
    ~WithoutFileOverride() { syscall(SYS_capset, &header_, saved_); }

  private:
    __user_cap_header_struct header_{};
    __user_cap_data_struct saved_[2]{};
};

TEST_F(LibUsbTestBedTest, ANodeWithoutPermissionIsToldAndTheCardPassedOver) {
    rig.bed.plug(1, 4, rig.sensorA);
    rig.bed.denyAccess(1, 4);
    {
        WithoutFileOverride asUser;
        rig.usb.FindUsbBuffers();
    }
    ASSERT_EQ(rig.messages.texts().size(), 2u);
    EXPECT_THAT(rig.messages.texts()[0],
                HasSubstr("card at bus 1, address 4 cannot be opened: permission denied."));
    EXPECT_EQ(rig.messages.texts()[1], "No USB Buffers Found, Please Verify Setup and Restart");
    EXPECT_FALSE(rig.usb.UsbReady());
}

TEST_F(LibUsbTestBedTest, AStalledEndpointCostsOneCommandAndIsClearedBeforeTheNext) {
    rig.bed.plug(1, 5, rig.sensorA);
    rig.usb.FindUsbBuffers();
    ASSERT_TRUE(rig.usb.UsbReady());

    rig.bed.halt(1, 5, EmulatedCard::kAnswerEndpoint);
    EXPECT_EQ(rig.readUntilFailure(10), 1);
    EXPECT_THAT(rig.messages.texts(), ElementsAre("Error Reading SPI"));

    // Search again: the card describes itself and reads as before.
    rig.messages.clear();
    rig.usb.FindUsbBuffers();
    EXPECT_THAT(rig.messages.texts(), IsEmpty());
    ASSERT_TRUE(rig.usb.UsbReady());
    EXPECT_EQ(readXAccl(), kRawA);
    EXPECT_EQ(rig.bed.counts(1, 5).clearHalts, 1);
}

TEST_F(LibUsbTestBedTest, AnAnswerAfterTheTimeoutIsNeverTakenForALaterCommand) {
    rig.bed.plug(1, 5, rig.sensorA);
    rig.usb.FindUsbBuffers();
    ASSERT_TRUE(rig.usb.UsbReady());

    rig.bed.holdAnswers(1, 5, true);
    EXPECT_EQ(rig.readUntilFailure(10), 1);  // gives up after 1 s
    EXPECT_THAT(rig.messages.texts(), ElementsAre("Error Reading SPI"));
    rig.bed.holdAnswers(1, 5, false);  // the answer arrives: it waits in the card

    rig.sensorA.pokeWord(SimSensor::kXAcclOut, kRawB);
    rig.messages.clear();
    rig.usb.FindUsbBuffers();
    EXPECT_THAT(rig.messages.texts(), IsEmpty());
    EXPECT_FLOAT_EQ(rig.usb.UsbSelectedCard.DriverRev, 1.5f);
    EXPECT_EQ(readXAccl(), kRawB);
}

}  // namespace
}  // namespace quenlor
