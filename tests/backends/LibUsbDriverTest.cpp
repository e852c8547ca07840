#include "platform/libusb/LibUsbDriver.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "FakeLibUsbCalls.h"
#include "ezusb/Descriptors.h"
#include "platform/fake/RecordingMessageBoxes.h"

namespace quenlor {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;

std::array<std::uint8_t, 4> pipe(std::uint32_t n) {
    return {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8),
            static_cast<std::uint8_t>(n >> 16), static_cast<std::uint8_t>(n >> 24)};
}

std::uint32_t le(const std::vector<std::uint8_t>& b, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | b[at + static_cast<std::size_t>(i)];
    return v;
}

class LibUsbDriverTest : public ::testing::Test {
  protected:
    FakeLibUsbCalls usb;
    RecordingMessageBoxes boxes;
    LibUsbDriver driver{usb, boxes};

    bool request(DeviceHandle h, std::uint32_t code, std::span<const std::uint8_t> in,
                 std::vector<std::uint8_t>& out, std::uint32_t& returned) {
        return driver.ioControl(h, code, in, out, returned);
    }

    // Opens the name and writes to it: the device the write reached ("open
    // bus.address"), or "" when the open failed.
    std::string opened(const std::string& name) {
        usb.log.clear();
        const DeviceHandle h = driver.open(name);
        std::vector<std::uint8_t> command = {0x01};
        std::uint32_t returned = 0;
        const bool wrote = request(h, kIoctlBulkWrite, pipe(0), command, returned);
        driver.close(h);
        if (h == kNoHandle)
            return "";
        return wrote ? "open " + usb.where(usb.bulks.back().handle) : "?";
    }
};

TEST_F(LibUsbDriverTest, CardsAreNamedInBusThenAddressOrderAndOthersPassedOver) {
    usb.bus = {FakeLibUsbCalls::card(2, 3), FakeLibUsbCalls::card(1, 1, 0x04B4, 0x8613),
               FakeLibUsbCalls::card(1, 9), FakeLibUsbCalls::card(1, 4)};

    for (const auto& [name, expected] : std::vector<std::pair<std::string, std::string>>{
             {"Ezusb-0", "open 1.4"}, {"Ezusb-1", "open 1.9"}, {"Ezusb-2", "open 2.3"}}) {
        usb.log.clear();
        const DeviceHandle h = driver.open(name);
        EXPECT_NE(h, kNoHandle) << name;
        ASSERT_FALSE(usb.log.empty());
        EXPECT_EQ(usb.log.front(), expected) << name;
        driver.close(h);
    }
    usb.log.clear();
    for (const char* name : {"Ezusb-3", "Ezusb-4", "ezusb-0", "Ezusb-00", "Ezusb-", ""}) {
        EXPECT_EQ(driver.open(name), kNoHandle) << name;
    }
    EXPECT_THAT(usb.log, IsEmpty());
}

TEST_F(LibUsbDriverTest, ACardPluggedInLaterIsFoundAtTheNextOpen) {
    EXPECT_EQ(driver.open("Ezusb-0"), kNoHandle);
    usb.bus.push_back(FakeLibUsbCalls::card(3, 7));
    const DeviceHandle h = driver.open("Ezusb-0");
    EXPECT_NE(h, kNoHandle);
    driver.close(h);
    // Unplugged while nothing watches the bus: found out at the next search.
    usb.bus.clear();
    driver.searchStarts();
    EXPECT_EQ(driver.open("Ezusb-0"), kNoHandle);
}

TEST_F(LibUsbDriverTest, ACardKeepsItsNameWhenACardBeforeItIsUnplugged) {
    usb.changes = 0;  // a watched bus, told of every change below
    usb.bus = {FakeLibUsbCalls::card(1, 2), FakeLibUsbCalls::card(1, 5),
               FakeLibUsbCalls::card(2, 1)};
    EXPECT_EQ(opened("Ezusb-0"), "open 1.2");
    EXPECT_EQ(opened("Ezusb-1"), "open 1.5");

    usb.bus.erase(usb.bus.begin());
    ++*usb.changes;
    EXPECT_EQ(opened("Ezusb-1"), "open 1.5");
    EXPECT_EQ(opened("Ezusb-2"), "open 2.1");
    EXPECT_EQ(opened("Ezusb-0"), "");  // the unplugged card's name opens nothing

    // A card plugged in later takes the freed name, though it sorts after others.
    usb.bus.push_back(FakeLibUsbCalls::card(1, 9));
    ++*usb.changes;
    EXPECT_EQ(opened("Ezusb-0"), "open 1.9");
    EXPECT_EQ(opened("Ezusb-1"), "open 1.5");
    EXPECT_EQ(opened("Ezusb-2"), "open 2.1");
}

TEST_F(LibUsbDriverTest, NewCardsTakeTheLowestFreeNamesInBusOrderAndNoMoreThanFourAreNamed) {
    usb.changes = 0;  // a watched bus, told of every change below
    usb.bus = {FakeLibUsbCalls::card(1, 2), FakeLibUsbCalls::card(1, 5)};
    EXPECT_EQ(opened("Ezusb-1"), "open 1.5");
    usb.bus.erase(usb.bus.begin());  // Ezusb-0 is free again
    ++*usb.changes;

    usb.bus.push_back(FakeLibUsbCalls::card(3, 3));
    usb.bus.push_back(FakeLibUsbCalls::card(2, 8));
    usb.bus.push_back(FakeLibUsbCalls::card(1, 1));
    usb.bus.push_back(FakeLibUsbCalls::card(2, 4));
    ++*usb.changes;
    EXPECT_EQ(opened("Ezusb-0"), "open 1.1");
    EXPECT_EQ(opened("Ezusb-1"), "open 1.5");
    EXPECT_EQ(opened("Ezusb-2"), "open 2.4");
    EXPECT_EQ(opened("Ezusb-3"), "open 2.8");

    // The fifth card waits for a name, and gets the first one freed.
    usb.bus.erase(usb.bus.begin());  // 1.5
    ++*usb.changes;
    EXPECT_EQ(opened("Ezusb-1"), "open 3.3");
    EXPECT_EQ(opened("Ezusb-0"), "open 1.1");
}

TEST_F(LibUsbDriverTest, ABusThatCannotBeListedFailsTheOpenAndKeepsTheNames) {
    usb.changes = 0;  // a watched bus, told of every change below
    usb.bus = {FakeLibUsbCalls::card(1, 2), FakeLibUsbCalls::card(1, 5)};
    EXPECT_EQ(opened("Ezusb-1"), "open 1.5");
    usb.bus.erase(usb.bus.begin());
    ++*usb.changes;
    EXPECT_EQ(opened("Ezusb-0"), "");

    usb.listError = LIBUSB_ERROR_NO_MEM;
    ++*usb.changes;
    EXPECT_EQ(opened("Ezusb-1"), "");
    usb.listError = 0;
    EXPECT_EQ(opened("Ezusb-1"), "open 1.5");
    EXPECT_EQ(opened("Ezusb-0"), "");
}

TEST_F(LibUsbDriverTest, ABoundKernelDriverIsDetachedByTheClaimAndBackWhenTheCardIsClosed) {
    usb.bus = {FakeLibUsbCalls::card(1, 2)};
    usb.bus[0].kernelDriverBound = true;
    DeviceHandle h = kNoHandle;
    {
        LibUsbDriver own(usb, boxes);
        h = own.open("Ezusb-0");
        ASSERT_NE(h, kNoHandle);
        EXPECT_FALSE(usb.bus[0].kernelDriverBound);
        own.close(h);
        own.close(h);  // a second close has nothing left to do
        // The program's close leaves the card claimed for its next use.
        EXPECT_FALSE(usb.bus[0].kernelDriverBound);
        own.close(own.open("Ezusb-0"));
        EXPECT_THAT(usb.log, ElementsAre("open 1.2", "claim 100 0"));
    }
    EXPECT_TRUE(usb.bus[0].kernelDriverBound);
    EXPECT_THAT(usb.log, ElementsAre("open 1.2", "claim 100 0", "release 100 0", "close 100"));
    std::uint32_t returned = 0;
    std::vector<std::uint8_t> out(147);
    EXPECT_FALSE(request(h, kIoctlDeviceDescriptor, {}, out, returned));
}

TEST_F(LibUsbDriverTest, WithoutAutoDetachAKernelDriverIsDetachedByHandAndAttachedAgain) {
    usb.autoDetachSupported = false;
    usb.bus = {FakeLibUsbCalls::card(1, 2), FakeLibUsbCalls::card(1, 3),
               FakeLibUsbCalls::card(1, 4)};
    usb.bus[0].kernelDriverBound = true;
    usb.bus[1].kernelDriverBound = true;
    usb.bus[1].claimError = LIBUSB_ERROR_BUSY;
    {
        LibUsbDriver own(usb, boxes);
        own.close(own.open("Ezusb-0"));
        EXPECT_THAT(usb.log, ElementsAre("open 1.2", "detach 100", "claim 100 0"));

        // A claim that fails still gives the interface back to its driver.
        usb.log.clear();
        EXPECT_EQ(own.open("Ezusb-1"), kNoHandle);
        EXPECT_THAT(usb.log, ElementsAre("open 1.3", "detach 101", "claim 101 0", "attach 101",
                                         "close 101"));
        EXPECT_TRUE(usb.bus[1].kernelDriverBound);

        // Nothing bound: nothing to detach or attach.
        usb.log.clear();
        own.close(own.open("Ezusb-2"));
        EXPECT_THAT(usb.log, ElementsAre("open 1.4", "claim 102 0"));
        usb.log.clear();
    }
    EXPECT_THAT(usb.log, ElementsAre("release 100 0", "attach 100", "close 100", "release 102 0",
                                     "close 102"));
    EXPECT_TRUE(usb.bus[0].kernelDriverBound);
}

TEST_F(LibUsbDriverTest, FailedOpenOrClaimGivesNoHandleAndLeavesNothingOpen) {
    usb.bus = {FakeLibUsbCalls::card(1, 2), FakeLibUsbCalls::card(1, 3)};
    usb.bus[0].openError = LIBUSB_ERROR_ACCESS;
    usb.bus[1].claimError = LIBUSB_ERROR_BUSY;

    EXPECT_EQ(driver.open("Ezusb-0"), kNoHandle);
    EXPECT_EQ(driver.open("Ezusb-1"), kNoHandle);
    EXPECT_THAT(usb.log, ElementsAre("open 1.2", "open 1.3", "claim 100 0", "close 100"));
}

TEST_F(LibUsbDriverTest, OnlyFailuresTheUserCanMendAreToldAndEachOnceForItsCard) {
    usb.bus = {FakeLibUsbCalls::card(1, 2), FakeLibUsbCalls::card(1, 3),
               FakeLibUsbCalls::card(1, 4)};
    usb.bus[0].openError = LIBUSB_ERROR_NO_DEVICE;  // unplugged between listing and open
    usb.bus[1].claimError = LIBUSB_ERROR_NOT_FOUND;
#ifdef _WIN32
    // No WinUSB bound: the one failure on Windows the user mends at the card.
    usb.bus[2].openError = LIBUSB_ERROR_NOT_SUPPORTED;
    const std::string cause = "Windows has not bound WinUSB to it.";
#else
    usb.bus[2].openError = LIBUSB_ERROR_ACCESS;
    const std::string cause = "permission denied.";
#endif

    for (int pass = 0; pass < 2; ++pass) {
        for (const char* name : {"Ezusb-0", "Ezusb-1", "Ezusb-2"})
            EXPECT_EQ(driver.open(name), kNoHandle) << name;
    }
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_THAT(boxes.boxes[0].text, ::testing::StartsWith("The USB SPI card at bus 1, address 4 "
                                                           "cannot be opened: " +
                                                           cause));

    // Once the permission is granted the same card may be held by another
    // program: that is a new cause, told in turn.
    usb.bus[2].openError = 0;
    usb.bus[2].claimError = LIBUSB_ERROR_BUSY;
    EXPECT_EQ(driver.open("Ezusb-2"), kNoHandle);
    EXPECT_EQ(driver.open("Ezusb-2"), kNoHandle);
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[1].text,
              "The USB SPI card at bus 1, address 4 cannot be opened: it is in use by another "
              "program.");

    // Replugged, the card has a new address: the user is told about it afresh.
    usb.bus[2].summary.address = 9;
    EXPECT_EQ(driver.open("Ezusb-2"), kNoHandle);
    ASSERT_EQ(boxes.boxes.size(), 3u);
    EXPECT_THAT(boxes.boxes[2].text, ::testing::HasSubstr("bus 1, address 9 "));
}

TEST_F(LibUsbDriverTest, DeviceDescriptorComesBackAtTheStartOfTheBuffer) {
    auto card = FakeLibUsbCalls::card(1, 2, kVendorId, kProductKestin);
    card.summary.descriptor.bcdDevice = 0xA501;
    usb.bus = {card};
    const DeviceHandle h = driver.open("Ezusb-0");
    std::vector<std::uint8_t> buffer(147, 0);
    std::uint32_t returned = 0;

    ASSERT_TRUE(request(h, kIoctlDeviceDescriptor, buffer, buffer, returned));

    EXPECT_EQ(returned, 18u);
    const auto wire = EncodeDeviceDescriptor(card.summary.descriptor);
    EXPECT_TRUE(std::equal(wire.begin(), wire.end(), buffer.begin()));
    EXPECT_EQ(DescriptorProductId(buffer), kProductKestin);
    EXPECT_TRUE(std::all_of(buffer.begin() + 18, buffer.end(), [](auto b) { return b == 0; }));

    // A buffer too small for the whole descriptor is a failed request.
    std::vector<std::uint8_t> small(12, 0);
    EXPECT_FALSE(request(h, kIoctlDeviceDescriptor, small, small, returned));
}

TEST_F(LibUsbDriverTest, StringDescriptorIsRawBytesCutToTheOutputSize) {
    usb.bus = {FakeLibUsbCalls::card(1, 2)};
    usb.bus[0].strings[2] = {10, 3, 'A', 0, 'B', 0, 'C', 0, 'D', 0};
    const DeviceHandle h = driver.open("Ezusb-0");
    const std::vector<std::uint8_t> ask = {2, 0, 0, 0, 0x1B};
    std::uint32_t returned = 0;

    std::vector<std::uint8_t> head(4);
    ASSERT_TRUE(request(h, kIoctlStringDescriptor, ask, head, returned));
    EXPECT_THAT(head, ElementsAre(10, 3, 'A', 0));
    EXPECT_EQ(returned, 4u);

    std::vector<std::uint8_t> full(10);
    ASSERT_TRUE(request(h, kIoctlStringDescriptor, ask, full, returned));
    EXPECT_EQ(full, usb.bus[0].strings[2]);
    EXPECT_EQ(returned, 10u);
    EXPECT_THAT(usb.languages, Not(Contains(::testing::Ne(0x0409))));

    const std::vector<std::uint8_t> missing = {1, 0, 0, 0, 0x1B};
    EXPECT_FALSE(request(h, kIoctlStringDescriptor, missing, head, returned));
    EXPECT_FALSE(request(h, kIoctlStringDescriptor, {}, head, returned));
}

TEST_F(LibUsbDriverTest, PipeTableDescribesSettingZeroOfInterfaceZero) {
    usb.bus = {FakeLibUsbCalls::card(1, 2)};
    UsbInterfaceSummary setting0;
    setting0.interfaceClass = 0xFF;
    setting0.subClass = 0x12;
    setting0.protocol = 0x34;
    setting0.endpoints = {
        {0x01, 2, 0, 64}, {0x81, 2, 0, 512}, {0x82, 3, 4, 16}, {0x06, 2, 0, 0x0203}};
    // Interface 1's setting 0 and interface 0's setting 1 come first.
    UsbInterfaceSummary otherInterface;
    otherInterface.number = 1;
    otherInterface.endpoints = {{0x83, 3, 1, 8}};
    UsbInterfaceSummary setting1;
    setting1.alternateSetting = 1;
    setting1.endpoints = {{0x84, 2, 0, 64}};
    usb.bus[0].settings = {otherInterface, setting1, setting0};
    const DeviceHandle h = driver.open("Ezusb-0");
    std::vector<std::uint8_t> t(356, 0xEE);
    std::uint32_t returned = 0;

    ASSERT_TRUE(request(h, kIoctlPipeTable, t, t, returned));

    EXPECT_EQ(returned, 356u);
    EXPECT_EQ(le(t, 0, 2), 16u + 4u * 20u);  // Length
    EXPECT_EQ(t[2], 0);                      // InterfaceNumber
    EXPECT_EQ(t[3], 0);                      // AlternateSetting
    EXPECT_EQ(t[4], 0xFF);
    EXPECT_EQ(t[5], 0x12);
    EXPECT_EQ(t[6], 0x34);
    EXPECT_EQ(le(t, 12, 4), 4u);  // NumberOfPipes
    EXPECT_EQ(le(t, 16 + 20 * 0, 2), 64u);
    EXPECT_EQ(t[16 + 20 * 1 + 2], 0x81);
    EXPECT_EQ(le(t, 16 + 20 * 1, 2), 512u);
    EXPECT_EQ(t[16 + 20 * 2 + 3], 4);           // Interval
    EXPECT_EQ(le(t, 16 + 20 * 2 + 4, 4), 3u);   // interrupt pipe
    EXPECT_EQ(le(t, 16 + 20 * 1 + 4, 4), 2u);   // bulk pipe
    EXPECT_EQ(le(t, 16 + 20 * 3, 2), 0x0203u);  // both bytes of the packet size
    EXPECT_EQ(le(t, 16 + 20 * 3 + 12, 4), LibUsbDriver::kMaximumTransferSize);
    // Entries beyond the endpoints are zero, not left as they were.
    EXPECT_TRUE(std::all_of(t.begin() + 16 + 20 * 4, t.end(), [](auto b) { return b == 0; }));

    std::vector<std::uint8_t> small(100);
    EXPECT_FALSE(request(h, kIoctlPipeTable, small, small, returned));
}

TEST_F(LibUsbDriverTest, AnInterfaceWithoutSettingZeroGivesNoPipes) {
    usb.bus = {FakeLibUsbCalls::card(1, 2)};
    usb.bus[0].settings[0].alternateSetting = 3;
    const DeviceHandle h = driver.open("Ezusb-0");
    ASSERT_NE(h, kNoHandle);
    std::vector<std::uint8_t> t(356, 0xEE);
    std::uint32_t returned = 0;

    ASSERT_TRUE(request(h, kIoctlPipeTable, t, t, returned));
    EXPECT_EQ(le(t, 12, 4), 0u);
    EXPECT_TRUE(std::all_of(t.begin() + 16, t.end(), [](auto b) { return b == 0; }));
    std::vector<std::uint8_t> buffer(1);
    EXPECT_FALSE(request(h, kIoctlBulkWrite, pipe(0), buffer, returned));
    EXPECT_THAT(usb.bulks, IsEmpty());
}

TEST_F(LibUsbDriverTest, BulkRequestsUseTheEndpointOfTheGivenPipeWithATimeout) {
    usb.bus = {FakeLibUsbCalls::card(1, 2)};
    usb.bus[0].bulkIn = {0x01, 0x05};
    const DeviceHandle h = driver.open("Ezusb-0");
    std::uint32_t returned = 0;

    std::vector<std::uint8_t> command = {0x0D, 0x10, 0x02};
    ASSERT_TRUE(request(h, kIoctlBulkWrite, pipe(0), command, returned));
    EXPECT_EQ(returned, 3u);

    std::vector<std::uint8_t> answer(2, 0);
    ASSERT_TRUE(request(h, kIoctlBulkRead, pipe(1), answer, returned));
    EXPECT_THAT(answer, ElementsAre(0x01, 0x05));
    EXPECT_EQ(returned, 2u);

    ASSERT_EQ(usb.bulks.size(), 2u);
    EXPECT_EQ(usb.bulks[0].endpoint, 0x01);
    EXPECT_EQ(usb.bulks[0].data, command);
    EXPECT_EQ(usb.bulks[1].endpoint, 0x81);
    EXPECT_EQ(usb.bulks[0].timeout, 1000u);
    EXPECT_EQ(usb.bulks[1].timeout, 1000u);
}

TEST_F(LibUsbDriverTest, BulkRequestsOnNoSuchPipeOrAgainstItsDirectionFailWithoutTransfer) {
    usb.bus = {FakeLibUsbCalls::card(1, 2)};
    const DeviceHandle h = driver.open("Ezusb-0");
    std::vector<std::uint8_t> buffer(4);
    std::uint32_t returned = 99;

    EXPECT_FALSE(request(h, kIoctlBulkWrite, pipe(4), buffer, returned));
    EXPECT_EQ(returned, 0u);
    EXPECT_FALSE(request(h, kIoctlBulkWrite, pipe(256), buffer, returned));
    EXPECT_FALSE(request(h, kIoctlBulkRead, pipe(0), buffer, returned));
    EXPECT_FALSE(request(h, kIoctlBulkWrite, pipe(1), buffer, returned));
    const std::vector<std::uint8_t> shortRecord = {0};
    EXPECT_FALSE(request(h, kIoctlBulkWrite, shortRecord, buffer, returned));
    EXPECT_FALSE(request(h, 0x222048, pipe(0), buffer, returned));
    EXPECT_THAT(usb.bulks, IsEmpty());
}

TEST_F(LibUsbDriverTest, WhileTheBusIsQuietAHeldCardIsUsedWithoutListingOrOpeningIt) {
    usb.changes = 0;
    usb.bus = {FakeLibUsbCalls::card(1, 2)};
    EXPECT_EQ(opened("Ezusb-0"), "open 1.2");
    EXPECT_EQ(opened("Ezusb-0"), "open 1.2");
    EXPECT_EQ(usb.listings, 1);
    EXPECT_THAT(usb.log, IsEmpty());

    // A card plugged in: the next open lists the bus, and the held card stays.
    usb.bus.push_back(FakeLibUsbCalls::card(1, 7));
    usb.changes = 1;
    EXPECT_EQ(opened("Ezusb-0"), "open 1.2");
    EXPECT_EQ(usb.listings, 2);
    EXPECT_THAT(usb.log, IsEmpty());
    EXPECT_EQ(opened("Ezusb-1"), "open 1.7");

    // Unplugged: the card is closed, and its name opens nothing.
    usb.bus.erase(usb.bus.begin());
    usb.changes = 2;
    EXPECT_EQ(opened("Ezusb-0"), "");
    EXPECT_THAT(usb.log, ElementsAre("release 100 0", "close 100"));
}

TEST_F(LibUsbDriverTest, AFailedTransferClosesTheCardAndItsNextOpenMendsWhatItLeft) {
    usb.bus = {FakeLibUsbCalls::card(1, 2)};
    usb.bus[0].bulkError = LIBUSB_ERROR_TIMEOUT;
    usb.bus[0].bulkTransferred = 1;
    DeviceHandle h = driver.open("Ezusb-0");
    std::vector<std::uint8_t> buffer(4);
    std::uint32_t returned = 0;

    EXPECT_FALSE(request(h, kIoctlBulkRead, pipe(1), buffer, returned));
    EXPECT_EQ(returned, 1u);
    EXPECT_THAT(usb.log, ElementsAre("open 1.2", "claim 100 0", "release 100 0", "close 100"));
    // The rest of the command fails without reaching the card.
    const auto bulks = usb.bulks.size();
    EXPECT_FALSE(request(h, kIoctlBulkWrite, pipe(0), buffer, returned));
    EXPECT_EQ(usb.bulks.size(), bulks);
    driver.close(h);

    // Opened again, the answer that may have come late is read and dropped,
    // in whole packets and without waiting long.
    usb.bus[0].bulkError = 0;
    usb.bus[0].bulkTransferred = 0;
    usb.bus[0].halted = {0x01};
    h = driver.open("Ezusb-0");
    ASSERT_GT(usb.bulks.size(), bulks);
    EXPECT_EQ(usb.bulks[bulks].endpoint, 0x81);
    EXPECT_EQ(usb.bulks[bulks].length, 512);
    EXPECT_EQ(usb.bulks[bulks].timeout, HeldCards::kDrainTimeoutMs);

    // A stall fails one command; the endpoint is cleared at the next open.
    EXPECT_FALSE(request(h, kIoctlBulkWrite, pipe(0), buffer, returned));
    driver.close(h);
    usb.log.clear();
    h = driver.open("Ezusb-0");
    EXPECT_THAT(usb.log, ElementsAre("open 1.2", "claim 102 0", "clear 102 1"));
    usb.bus[0].bulkTransferred = -1;
    EXPECT_TRUE(request(h, kIoctlBulkWrite, pipe(0), buffer, returned));
    EXPECT_EQ(returned, 4u);

    // Gone from under the program: closed, with nothing to mend.
    usb.bus[0].bulkError = LIBUSB_ERROR_NO_DEVICE;
    EXPECT_FALSE(request(h, kIoctlBulkRead, pipe(1), buffer, returned));
    driver.close(h);
    usb.log.clear();
    usb.bus[0].bulkError = 0;
    const auto before = usb.bulks.size();
    driver.close(driver.open("Ezusb-0"));
    EXPECT_THAT(usb.log, ElementsAre("open 1.2", "claim 103 0"));
    EXPECT_EQ(usb.bulks.size(), before);
}

}  // namespace
}  // namespace quenlor
