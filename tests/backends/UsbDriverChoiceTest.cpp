#include "platform/usbchoice/UsbDriverChoice.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/fake/FaultyUsbDriver.h"
#include "platform/fake/RecordingMessageBoxes.h"
#include "sim/SimAdapterCard.h"
#include "sim/SimSensor.h"
#include "usb/EzUsbAccess.h"

#ifdef QUENLOR_WINDOWS_DRIVERS
#include "platform/libusb/LibUsbDriver.h"
#include "platform/win32/Win32EzUsbDriver.h"
#endif

namespace quenlor {
namespace {

using Texts = std::vector<std::string>;
const std::string kNoBuffers = "No USB Buffers Found, Please Verify Setup and Restart";

// Two simulated drivers stand for the legacy EZ-USB driver and libusb; each
// hands out handles from 1, as two real drivers may.
class UsbDriverChoiceTest : public ::testing::Test {
  protected:
    static SimCardConfig kestin() {
        SimCardConfig config;
        config.productId = kProductKestin;
        return config;
    }

    SimSensor sensor{3, [] { return 0.0; }};
    SimAdapterCard legacy{sensor};
    SimAdapterCard libusb{sensor};
    FaultyUsbDriver legacyDriver{legacy};
    FaultyUsbDriver libusbDriver{libusb};
    RecordingMessageBoxes boxes;

    void SetUp() override {
        legacyDriver.setRecording(true);
        libusbDriver.setRecording(true);
    }
};

TEST_F(UsbDriverChoiceTest, LegacyDeviceIsUsedWhereItIsThereAndLibusbElsewhere) {
    legacy.placeCard(0);
    libusb.placeCard(0, kestin());  // the same card as libusb sees it: never asked for
    libusb.placeCard(1, kestin());
    UsbDriverChoice choice(legacyDriver, &libusbDriver);
    EzUsbAccess usb(choice, boxes);

    usb.FindUsbBuffers();

    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(usb.UsbCardCount, 2);
    EXPECT_EQ(usb.UsbSelectedCard.DeviceName, "Ezusb-0");
    EXPECT_EQ(usb.UsbSelectedCard.BoardType, "Tarrow");
    EXPECT_EQ(usb.UsbCards[1].BoardType, "Kestin");
    EXPECT_EQ(libusbDriver.opens(0), 0);
    EXPECT_EQ(legacyDriver.openHandles() + libusbDriver.openHandles(), 0);

    // Both open at once with equal handles of their own: each request and
    // close still reaches the driver that opened the card.
    const DeviceHandle a = choice.open("Ezusb-0");
    const DeviceHandle b = choice.open("Ezusb-1");
    ASSERT_NE(a, kNoHandle);
    ASSERT_NE(b, kNoHandle);
    ASSERT_NE(a, b);
    const auto legacyWrites = legacyDriver.bulkWrites(0).size();
    const auto libusbWrites = libusbDriver.bulkWrites(1).size();
    std::uint8_t command[] = {0x00};
    std::int32_t length = 1;
    EXPECT_EQ(usb.UsbBulkTransfer(b, 0, command, length), 1);
    EXPECT_EQ(libusbDriver.bulkWrites(1).size(), libusbWrites + 1);
    EXPECT_EQ(legacyDriver.bulkWrites(0).size(), legacyWrites);
    length = 1;
    EXPECT_EQ(usb.UsbBulkTransfer(a, 0, command, length), 1);
    EXPECT_EQ(legacyDriver.bulkWrites(0).size(), legacyWrites + 1);
    EXPECT_EQ(libusbDriver.bulkWrites(1).size(), libusbWrites + 1);

    choice.close(b);
    EXPECT_EQ(libusbDriver.openHandles(), 0);
    EXPECT_EQ(legacyDriver.openHandles(), 1);
    choice.close(a);
    choice.close(a);  // closed already: reaches no driver
    EXPECT_EQ(legacyDriver.openHandles(), 0);
    EXPECT_EQ(legacyDriver.closesOfUnknownHandle() + libusbDriver.closesOfUnknownHandle(), 0);
}

TEST_F(UsbDriverChoiceTest, WithoutTheLegacyDriverTheCardIsReachedThroughLibusb) {
    libusb.placeCard(0, kestin());
    UsbDriverChoice choice(legacyDriver, &libusbDriver);
    EzUsbAccess usb(choice, boxes);

    usb.FindUsbBuffers();

    EXPECT_TRUE(boxes.boxes.empty());
    ASSERT_TRUE(usb.UsbReady());
    EXPECT_EQ(usb.UsbSelectedCard.BoardType, "Kestin");
    EXPECT_GT(libusbDriver.opens(0), 0);
    EXPECT_EQ(libusbDriver.openHandles(), 0);

    // A legacy card plugged in later is used from the next open on.
    legacy.placeCard(0);
    usb.FindUsbBuffers();
    EXPECT_EQ(usb.UsbSelectedCard.BoardType, "Tarrow");
}

TEST_F(UsbDriverChoiceTest, NeitherDriverIsTheScansNoCardMessage) {
    UsbDriverChoice withoutLibusb(legacyDriver, nullptr);
    UsbDriverChoice withLibusb(legacyDriver, &libusbDriver);
    for (UsbDriverChoice* choice : {&withoutLibusb, &withLibusb}) {
        boxes.clear();
        EzUsbAccess usb(*choice, boxes);
        usb.FindUsbBuffers();
        EXPECT_EQ(boxes.texts(), Texts{kNoBuffers});
        EXPECT_FALSE(usb.UsbReady());

        std::uint32_t returned = 7;
        std::uint8_t out[4] = {};
        EXPECT_FALSE(choice->ioControl(kNoHandle, kIoctlPipeTable, {}, out, returned));
        EXPECT_EQ(returned, 0u);
        choice->close(kNoHandle);
    }
    EXPECT_EQ(legacyDriver.closesOfNoHandle() + libusbDriver.closesOfNoHandle(), 0);
}

#ifdef QUENLOR_WINDOWS_DRIVERS
// The program's own pair on a machine with neither a legacy device nor a card
// (Wine): libusb's DLL loads and starts, finds nothing, and says nothing of
// its own; the scan's message is the only one.
TEST(UsbDriverChoiceWindowsTest, RealDriversWithoutACardGiveTheNoCardMessage) {
    RecordingMessageBoxes boxes;
    Win32EzUsbDriver legacy;
    LibUsbDriver libusb(boxes);
    UsbDriverChoice choice(legacy, &libusb);
    EzUsbAccess usb(choice, boxes);

    usb.FindUsbBuffers();
    usb.FindUsbBuffers();

    EXPECT_EQ(boxes.texts(), (Texts{kNoBuffers, kNoBuffers}));
    EXPECT_FALSE(usb.UsbReady());
}
#endif

}  // namespace
}  // namespace quenlor
