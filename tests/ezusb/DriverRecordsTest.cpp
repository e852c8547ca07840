#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ezusb/Descriptors.h"
#include "ezusb/DeviceName.h"
#include "ezusb/PipeTable.h"
#include "ezusb/Requests.h"

namespace quenlor {
namespace {

using ::testing::ElementsAre;
using Bytes = std::vector<std::uint8_t>;

std::uint32_t le(const PipeTable& t, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | t[at + static_cast<std::size_t>(i)];
    return v;
}

TEST(PipeTableTest, HeaderCountsThePipesDescribedAndEntriesSitAtTheirOffsets) {
    InterfaceInformation info;
    info.interfaceNumber = 2;
    info.alternateSetting = 1;
    info.interfaceClass = 0xFF;
    info.interfaceSubClass = 0x12;
    info.interfaceProtocol = 0x34;
    for (std::uint8_t n = 0; n < 4; ++n) {
        info.pipes.push_back({static_cast<std::uint16_t>(0x0200 + n),
                              static_cast<std::uint8_t>(0x81 + n), static_cast<std::uint8_t>(n), 2,
                              0x100u + n, 0x10000, 0xA0u + n});
    }
    const PipeTable t = EncodePipeTable(info);

    // The Windows USB stack's interface size: the header and the pipes there are.
    EXPECT_EQ(le(t, 0, 2), 16u + 4u * 20u);
    EXPECT_THAT(Bytes(t.begin() + 2, t.begin() + 7), ElementsAre(2, 1, 0xFF, 0x12, 0x34));
    EXPECT_EQ(le(t, 12, 4), 4u);
    const std::size_t e3 = 16 + 3 * 20;
    EXPECT_EQ(le(t, e3, 2), 0x0203u);
    EXPECT_EQ(t[e3 + 2], 0x84);
    EXPECT_EQ(t[e3 + 3], 3);
    EXPECT_EQ(le(t, e3 + 4, 4), 2u);
    EXPECT_EQ(le(t, e3 + 8, 4), 0x103u);
    EXPECT_EQ(le(t, e3 + 12, 4), 0x10000u);
    EXPECT_EQ(le(t, e3 + 16, 4), 0xA3u);
    EXPECT_TRUE(std::all_of(t.begin() + 16 + 4 * 20, t.end(), [](auto b) { return b == 0; }));

    EXPECT_EQ(PipePacketSize(t, 3), 0x0203);
    EXPECT_EQ(PipeEndpointAddress(t, 1), 0x82);
    EXPECT_EQ(PipePacketSize(t, 4), 0);
    EXPECT_EQ(PipePacketSize(t, -1), 0);
    EXPECT_EQ(PipeEndpointAddress(t, 17), 0);

    // More pipes than the record holds: the first seventeen, and a full length.
    info.pipes.resize(20, info.pipes[0]);
    const PipeTable full = EncodePipeTable(info);
    EXPECT_EQ(le(full, 0, 2), 356u);
    EXPECT_EQ(le(full, 12, 4), 17u);
    EXPECT_EQ(PipePacketSize(full, 16), 0x0200);
}

TEST(DeviceDescriptorTest, WireBytesAreLittleEndianAndTheIdentifiersReadBack) {
    DeviceDescriptor d;
    d.bLength = 18;
    d.bDescriptorType = 1;
    d.bcdUSB = 0x0210;
    d.bDeviceClass = 0xFF;
    d.bDeviceSubClass = 0xFE;
    d.bDeviceProtocol = 0xFD;
    d.bMaxPacketSize0 = 64;
    d.idVendor = kVendorId;
    d.idProduct = kProductKestin;
    d.bcdDevice = 0xA501;
    d.iManufacturer = 1;
    d.iProduct = 2;
    d.iSerialNumber = 3;
    d.bNumConfigurations = 1;
    const auto b = EncodeDeviceDescriptor(d);
    EXPECT_THAT(b, ElementsAre(18, 1, 0x10, 0x02, 0xFF, 0xFE, 0xFD, 64, 0x1D, 0x7B, 0x00, 0xEF,
                               0x01, 0xA5, 1, 2, 3, 1));

    Bytes buffer(kDeviceDescriptorBufferSize, 0);
    std::copy(b.begin(), b.end(), buffer.begin());
    EXPECT_EQ(DescriptorVendorId(buffer), 0x7B1D);
    EXPECT_EQ(DescriptorProductId(buffer), 0xEF00);
    EXPECT_EQ(DescriptorProductId(Bytes(11, 0xFF)), 0) << "too short to hold it";
}

TEST(DriverRequestTest, PipeRecordAndStringRequestHaveExactlyTheirShape) {
    EXPECT_THAT(EncodePipeRecord(0x01020304), ElementsAre(4, 3, 2, 1));
    EXPECT_EQ(DecodePipeRecord(Bytes{1, 0, 0, 0}), 1u);
    EXPECT_EQ(DecodePipeRecord(Bytes{0, 1, 0, 0x80}), 0x80000100u);
    EXPECT_FALSE(DecodePipeRecord(Bytes{1, 0, 0}));
    EXPECT_FALSE(DecodePipeRecord(Bytes{1, 0, 0, 0, 0}));

    EXPECT_THAT(EncodeStringRequest(2), ElementsAre(2, 0, 0, 0, 0x1B));
    EXPECT_EQ(DecodeStringRequest(Bytes{2, 0, 0, 0, 0x1B}), 2);
    for (const Bytes& bad : {Bytes{1, 0, 0, 0, 0x00}, Bytes{1, 0, 1, 0, 0x1B}, Bytes{1, 0, 0, 0},
                             Bytes{1, 0, 0, 0, 0x1B, 0}, Bytes{}}) {
        EXPECT_FALSE(DecodeStringRequest(bad)) << bad.size();
    }
}

TEST(StringDescriptorTest, EncodesUtf8AsUtf16AndDecodesSingleByteCharactersToUtf8) {
    EXPECT_THAT(EncodeStringDescriptor("Hi"), ElementsAre(6, 3, 'H', 0, 'i', 0));
    // Micro sign, euro sign, an emoji (a surrogate pair), a stray byte.
    EXPECT_THAT(EncodeStringDescriptor("\xC2\xB5\xE2\x82\xAC\xF0\x9F\x98\x80\xFF"),
                ElementsAre(12, 3, 0xB5, 0, 0xAC, 0x20, 0x3D, 0xD8, 0x00, 0xDE, 0xFD, 0xFF));
    const auto longest = EncodeStringDescriptor(std::string(200, 'A'));
    EXPECT_EQ(longest.size(), 254u);
    EXPECT_EQ(longest[0], 254);

    // A byte above 0x7F is a Latin-1 character: 0xB5 is the micro sign.
    EXPECT_EQ(DecodeStringDescriptorText(Bytes{8, 3, 'Q', 0, 0xB5, 0, 'm', 0}), "Q\xC2\xB5m");
    // Only the low byte of a code unit counts; an odd end is still read.
    EXPECT_EQ(DecodeStringDescriptorText(Bytes{6, 3, 0xAC, 0x20, 'B'}),
              std::string("\xC2\xAC") + "B");
    EXPECT_EQ(DecodeStringDescriptorText(Bytes{2, 3}), "");
    EXPECT_EQ(DecodeStringDescriptorText(Bytes{}), "");
}

TEST(DeviceNameTest, OnlyTheFourDriverNamesHaveASlot) {
    EXPECT_EQ(CardDeviceName(2), "Ezusb-2");
    for (int n = 0; n < kCardSlots; ++n)
        EXPECT_EQ(CardSlot(CardDeviceName(n)), n);
    for (const char* name : {"Ezusb-4", "ezusb-0", "Ezusb-00", "Ezusb-", "", "Ezusb-/", "NUL"})
        EXPECT_EQ(CardSlot(name), -1) << name;
}

}  // namespace
}  // namespace quenlor
