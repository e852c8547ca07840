#include "usb/UsbSpiCard.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/fake/RecordingMessageBoxes.h"
#include "sim/SimAdapterCard.h"
#include "sim/SimSensor.h"

namespace quenlor {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A selected card at "Ezusb-0" with a sensor on a frozen clock.
class UsbSpiCardTest : public ::testing::Test {
protected:
    UsbSpiCardTest() {
        card.placeCard(0);
        usb.FindUsbBuffers();
        boxes.clear();
        card.setRecording(true);
    }

    double now = 10.0;
    SimSensor sensor{7, [this] { return now; }};
    SimAdapterCard card{sensor};
    RecordingMessageBoxes boxes;
    Settings settings;
    EzUsbAccess usb{card, boxes};
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

    EXPECT_EQ(card.lastBulkWrite(0), (Bytes{0x0D, 0x01, 0x02, 0x04, 0x00, 0x04, 0x00}));
    EXPECT_EQ(spi.UsbReadWords[2], expected);
    EXPECT_TRUE(usb.UsbReady());
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(card.openHandles(), 0);
}

}  // namespace
}  // namespace quenlor
