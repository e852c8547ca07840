#include "sim/SimAdapterCard.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "platform/fake/FaultyUsbDriver.h"
#include "sim/SimSensor.h"

namespace quenlor {
namespace {

using Bytes = std::vector<std::uint8_t>;

class SimAdapterCardTest : public ::testing::Test {
  protected:
    bool request(DeviceHandle h, std::uint32_t code, Bytes input, Bytes& output,
                 std::uint32_t& returned) {
        return driver.ioControl(h, code, input, output, returned);
    }
    bool bulk(DeviceHandle h, std::uint32_t code, std::uint8_t pipe, Bytes& data,
              std::uint32_t& returned) {
        return request(h, code, Bytes{pipe, 0, 0, 0}, data, returned);
    }
    static std::uint16_t le16(const Bytes& b, std::size_t at) {
        return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
    }

    SimSensor sensor{1, [] { return 0.0; }};
    SimAdapterCard card{sensor};
    // Passes every request on unchanged until a test sets a fault.
    FaultyUsbDriver driver{card};
};

TEST_F(SimAdapterCardTest, DescribesItselfLikeTheRealCard) {
    SimCardConfig full;
    full.pipe3PacketSize = SimCardConfig::kFullSpeedPacket;
    full.productId = kProductKestin;
    full.descriptor2 = "H\xC2\xB5";  // UTF-8 "H" and the micro sign
    card.placeCard(1, full);
    const DeviceHandle h = card.open("Ezusb-1");
    ASSERT_NE(h, kNoHandle);
    std::uint32_t returned = 0;

    Bytes table(356, 0);
    ASSERT_TRUE(request(h, kIoctlPipeTable, Bytes(356, 0), table, returned));
    EXPECT_EQ(returned, 356u);
    EXPECT_EQ(le16(table, 0), 16 + 4 * 20) << "the interface's size, as the Windows stack gives it";
    EXPECT_LT(table[16 + 2], 0x80) << "pipe 0 is an OUT endpoint";
    EXPECT_GT(table[16 + 20 + 2], 0x80) << "pipe 1 is an IN endpoint";
    EXPECT_EQ(le16(table, 16 + 3 * 20), 64);

    Bytes descriptor(147, 0);
    ASSERT_TRUE(request(h, kIoctlDeviceDescriptor, Bytes(147, 0), descriptor, returned));
    EXPECT_EQ(returned, 18u);
    EXPECT_EQ(descriptor[0], 18);
    EXPECT_EQ(le16(descriptor, 8), 0x7B1D);
    EXPECT_EQ(le16(descriptor, 10), 0xEF00);

    // String descriptor: first the 4-byte head, then the whole, in UTF-16LE:
    // the micro sign is one code unit.
    const Bytes stringRequest{2, 0, 0, 0, 0x1B};
    Bytes head(4, 0);
    ASSERT_TRUE(request(h, kIoctlStringDescriptor, stringRequest, head, returned));
    EXPECT_EQ(head, (Bytes{6, 3, 'H', 0}));
    Bytes whole(6, 0);
    ASSERT_TRUE(request(h, kIoctlStringDescriptor, stringRequest, whole, returned));
    EXPECT_EQ(whole, (Bytes{6, 3, 'H', 0, 0xB5, 0}));
    card.close(h);
}

TEST_F(SimAdapterCardTest, RefusesDriverRecordsOfTheWrongShape) {
    card.placeCard(0);
    const DeviceHandle h = card.open("Ezusb-0");
    std::uint32_t returned = 0;
    Bytes table(356, 0);
    EXPECT_FALSE(request(h, kIoctlPipeTable, Bytes(355, 0), table, returned));
    Bytes dirty(356, 0);
    dirty[100] = 1;
    EXPECT_FALSE(request(h, kIoctlPipeTable, dirty, table, returned));
    Bytes descriptor(147, 0);
    EXPECT_FALSE(request(h, kIoctlDeviceDescriptor, Bytes(18, 0), descriptor, returned));
    Bytes head(4, 0);
    EXPECT_FALSE(request(h, kIoctlStringDescriptor, Bytes{1, 0, 0, 0, 0x00}, head, returned));
    EXPECT_TRUE(request(h, kIoctlStringDescriptor, Bytes{1, 0, 0, 0, 0x1B}, head, returned));
    Bytes answer(2, 0);
    EXPECT_FALSE(request(h, kIoctlBulkWrite, Bytes{0, 0, 0, 0, 0}, answer, returned));
    card.close(h);
}

TEST_F(SimAdapterCardTest, HandlesAreIndependentAndDieWithCloseOrUnplug) {
    card.placeCard(0);
    EXPECT_EQ(driver.open("Ezusb-1"), kNoHandle);
    EXPECT_EQ(driver.open("Ezusb-4"), kNoHandle);
    EXPECT_EQ(driver.open("ezusb-0"), kNoHandle);
    const DeviceHandle a = driver.open("Ezusb-0");
    const DeviceHandle b = driver.open("Ezusb-0");
    ASSERT_NE(a, kNoHandle);
    ASSERT_NE(a, b);
    EXPECT_EQ(driver.openHandles(), 2);

    Bytes table(356, 0);
    std::uint32_t returned = 0;
    driver.close(a);
    EXPECT_FALSE(request(a, kIoctlPipeTable, Bytes(356, 0), table, returned));
    EXPECT_TRUE(request(b, kIoctlPipeTable, Bytes(356, 0), table, returned));
    EXPECT_FALSE(request(12345, kIoctlPipeTable, Bytes(356, 0), table, returned));

    card.unplug(0);
    EXPECT_FALSE(request(b, kIoctlPipeTable, Bytes(356, 0), table, returned));
    EXPECT_EQ(driver.open("Ezusb-0"), kNoHandle);
    driver.close(b);
    driver.close(a);
    EXPECT_EQ(driver.closesOfUnknownHandle(), 1);
}

TEST_F(SimAdapterCardTest, FirmwareCommandsAndTheirAnswers) {
    card.placeCard(0);
    const DeviceHandle h = card.open("Ezusb-0");
    std::uint32_t returned = 0;
    Bytes answer(2, 0);
    EXPECT_FALSE(bulk(h, kIoctlBulkRead, 1, answer, returned)) << "nothing queued";

    Bytes cmd{0x00};
    ASSERT_TRUE(bulk(h, kIoctlBulkWrite, 0, cmd, returned));
    ASSERT_TRUE(bulk(h, kIoctlBulkRead, 1, answer, returned));
    EXPECT_EQ(answer, (Bytes{1, 5}));

    cmd = {0x0B, 0x40};
    ASSERT_TRUE(bulk(h, kIoctlBulkWrite, 0, cmd, returned));
    cmd = {0x0C, 0xFF};
    ASSERT_TRUE(bulk(h, kIoctlBulkWrite, 0, cmd, returned));
    EXPECT_EQ(card.delaySetting(0), 0x40);
    cmd = {0x01};
    ASSERT_TRUE(bulk(h, kIoctlBulkWrite, 0, cmd, returned));
    ASSERT_TRUE(bulk(h, kIoctlBulkRead, 1, answer, returned));
    EXPECT_EQ(answer, (Bytes{0x40, 0x78})) << "only bits 3..6 are static bits";

    // Channel 1 reaches the sensor, channel 2 has nothing behind it.
    cmd = {0x0D, 1, 2, 0x56, 0x00, 0x00, 0x00};
    ASSERT_TRUE(bulk(h, kIoctlBulkWrite, 0, cmd, returned));
    Bytes words(4, 0);
    ASSERT_TRUE(bulk(h, kIoctlBulkRead, 1, words, returned));
    EXPECT_EQ(words[2] << 8 | words[3], SimSensor::kProductId);
    cmd = {0x0E, 2, 1, 0x56, 0x00};
    ASSERT_TRUE(bulk(h, kIoctlBulkWrite, 0, cmd, returned));
    ASSERT_TRUE(bulk(h, kIoctlBulkRead, 1, answer, returned));
    EXPECT_EQ(answer, (Bytes{0xFF, 0xFF}));
    EXPECT_EQ(card.lastChannel(0), 2);
    EXPECT_EQ(sensor.frameCount(), 2u);

    // A frame shorter than its count says is ignored; so is writing on an IN pipe.
    cmd = {0x0D, 1, 3, 0x56, 0x00};
    ASSERT_TRUE(bulk(h, kIoctlBulkWrite, 0, cmd, returned));
    EXPECT_FALSE(bulk(h, kIoctlBulkRead, 1, answer, returned));
    EXPECT_FALSE(bulk(h, kIoctlBulkWrite, 1, cmd, returned));
    EXPECT_EQ(sensor.frameCount(), 2u);
    card.close(h);
}

TEST_F(SimAdapterCardTest, InjectedFaultsHitTheCountedRequestOnly) {
    card.placeCard(0);
    card.placeCard(1);
    driver.failRequest(0, kIoctlPipeTable, 2);
    driver.answerShort(0, kIoctlDeviceDescriptor, 10);
    const DeviceHandle h = driver.open("Ezusb-0");
    const DeviceHandle other = driver.open("Ezusb-1");
    Bytes table(356, 0);
    std::uint32_t returned = 0;
    EXPECT_TRUE(request(other, kIoctlPipeTable, Bytes(356, 0), table, returned));
    EXPECT_TRUE(request(h, kIoctlPipeTable, Bytes(356, 0), table, returned));
    EXPECT_FALSE(request(h, kIoctlPipeTable, Bytes(356, 0), table, returned));
    EXPECT_EQ(returned, 0u);
    EXPECT_TRUE(request(h, kIoctlPipeTable, Bytes(356, 0), table, returned));

    Bytes descriptor(147, 0xEE);
    EXPECT_TRUE(request(h, kIoctlDeviceDescriptor, Bytes(147, 0), descriptor, returned));
    EXPECT_EQ(returned, 10u);
    EXPECT_EQ(le16(descriptor, 8), 0x7B1D);
    EXPECT_EQ(descriptor[10], 0xEE) << "bytes past a short answer are left alone";

    // Unplugged after two more bulk requests: the second completes, the third fails.
    driver.unplugAfter(0, 2);
    Bytes cmd{0x00};
    Bytes answer(2, 0);
    EXPECT_TRUE(bulk(h, kIoctlBulkWrite, 0, cmd, returned));
    EXPECT_TRUE(bulk(h, kIoctlBulkRead, 1, answer, returned));
    EXPECT_FALSE(bulk(h, kIoctlBulkWrite, 0, cmd, returned));
    EXPECT_EQ(driver.open("Ezusb-0"), kNoHandle);
    EXPECT_TRUE(request(other, kIoctlPipeTable, Bytes(356, 0), table, returned));

    driver.failOpen(1);
    EXPECT_EQ(driver.open("Ezusb-1"), kNoHandle);
    driver.clearFaults(1);
    EXPECT_NE(driver.open("Ezusb-1"), kNoHandle);
}

}  // namespace
}  // namespace quenlor
