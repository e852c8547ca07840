#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <optional>
#include <string>

#include "FakeLibUsbCalls.h"
#include "platform/fake/RecordingMessageBoxes.h"
#include "platform/libusb/LibUsbDriver.h"
#include "usb/EzUsbAccess.h"
#include "usb/UsbSpiCard.h"

namespace quenlor {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::vector<std::uint8_t> stringDescriptor(const std::string& text) {
    std::vector<std::uint8_t> d = {static_cast<std::uint8_t>(2 + 2 * text.size()), 3};
    for (char c : text) {
        d.push_back(static_cast<std::uint8_t>(c));
        d.push_back(0);
    }
    return d;
}

// The threads of this process, from the kernel; none where it cannot say.
std::optional<int> threadCount() {
#ifdef _WIN32
    // Under Wine /proc would count Wine's own process, and libusb's Windows
    // back-end runs no event thread to count.
    return std::nullopt;
#endif
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("Threads:", 0) == 0)
            return std::stoi(line.substr(8));
    }
    return std::nullopt;
}

// libusb runs a thread of its own once started; a program that never touches
// USB must not carry it, and a finished one must not leave it behind.
TEST(LibUsbScanTest, LibUsbStartsAtTheFirstScanAndStopsWithTheDriver) {
    const auto before = threadCount();
    if (!before)
        GTEST_SKIP() << "no thread count on this system";
    {
        RecordingMessageBoxes boxes;
        LibUsbDriver driver(boxes);
        EXPECT_EQ(threadCount(), before);

        EzUsbAccess usb(driver, boxes);
        usb.FindUsbBuffers();
        EXPECT_FALSE(usb.UsbReady());
        // libusb started: its event thread runs until the driver goes.
        const auto during = threadCount();
        ASSERT_TRUE(during);
        EXPECT_GT(*during, *before);
    }
    EXPECT_EQ(threadCount(), before);
}

// This machine has no USB bus: libusb finds nothing (or cannot start at all).
TEST(LibUsbScanTest, WithoutAnyCardTheScanSaysSoOnceAndNothingIsSelected) {
    RecordingMessageBoxes boxes;
    LibUsbDriver driver(boxes);
    EzUsbAccess usb(driver, boxes);

    usb.FindUsbBuffers();

    EXPECT_THAT(boxes.texts(),
                ElementsAre("No USB Buffers Found, Please Verify Setup and Restart"));
    EXPECT_EQ(boxes.boxes[0].title, kAppTitle);
    EXPECT_FALSE(usb.UsbReady());
    EXPECT_EQ(usb.UsbSelectedIndex, -1);
    EXPECT_EQ(usb.UsbCardCount, 0);
}

TEST(LibUsbScanTest, CardsOnTheBusAreDescribedAndTheFirstDescribedOneSelected) {
    FakeLibUsbCalls calls;
    auto kestin = FakeLibUsbCalls::card(1, 2, 0x7B1D, 0xEF00);  // Ezusb-0, string 2 missing
    kestin.strings[1] = stringDescriptor("Kestin");
    auto tarrow = FakeLibUsbCalls::card(1, 5, 0x7B1D, 0xED03);  // Ezusb-1
    tarrow.strings[1] = stringDescriptor("Quenlor \xB5");       // a Latin-1 micro sign
    tarrow.strings[2] = stringDescriptor("USB SPI");
    tarrow.bulkIn = {1, 5};
    calls.bus = {tarrow, FakeLibUsbCalls::card(1, 1, 0x046D, 0xC077), kestin};
    RecordingMessageBoxes boxes;
    LibUsbDriver driver(calls, boxes);
    EzUsbAccess usb(driver, boxes);

    usb.FindUsbBuffers();

    EXPECT_THAT(boxes.texts(), ElementsAre("Error getting Board Info"));
    EXPECT_EQ(usb.UsbCardCount, 2);
    EXPECT_FALSE(usb.UsbCards[0].Found);
    EXPECT_EQ(usb.UsbCards[0].BoardType, "Kestin");
    ASSERT_TRUE(usb.UsbReady());
    EXPECT_EQ(usb.UsbSelectedIndex, 1);
    EXPECT_EQ(usb.UsbSelectedCard.DeviceName, "Ezusb-1");
    EXPECT_EQ(usb.UsbSelectedCard.BoardType, "Tarrow");
    EXPECT_EQ(usb.UsbSelectedCard.Descriptor0, "Quenlor \xC2\xB5");  // the same, in UTF-8
    EXPECT_EQ(usb.UsbSelectedCard.Descriptor1, "USB SPI");
    EXPECT_FLOAT_EQ(usb.UsbSelectedCard.DriverRev, 1.5f);
    EXPECT_EQ(usb.UsbSelectedCard.Speed, "2");

    // The revision command went out on the first OUT endpoint, the answer came in on the first IN.
    ASSERT_GE(calls.bulks.size(), 2u);
    EXPECT_EQ(calls.bulks[0].endpoint, 0x01);
    EXPECT_EQ(calls.bulks[0].length, 1);
    EXPECT_EQ(calls.bulks[0].data[0], 0x00);
    EXPECT_EQ(calls.bulks[1].endpoint, 0x81);
    // Each card is opened and claimed once and stays so for the commands to come;
    // the other vendor's device is never opened.
    EXPECT_THAT(calls.log, ElementsAre("open 1.2", "claim 100 0", "open 1.5", "claim 101 0"));
}

// Where libusb cannot watch the bus (Windows), the card found by a search
// serves the commands that follow until one fails on it; a search looks again.
TEST(LibUsbScanTest, WithoutHotplugTheHeldCardServesCommandsAndASearchListsTheBusAgain) {
    FakeLibUsbCalls calls;  // no count of bus changes
    auto tarrow = FakeLibUsbCalls::card(1, 5);
    tarrow.strings[1] = stringDescriptor("Quenlor");
    tarrow.strings[2] = stringDescriptor("USB SPI");
    tarrow.bulkIn = {1, 5};
    calls.bus = {tarrow};
    RecordingMessageBoxes boxes;
    LibUsbDriver driver(calls, boxes);
    EzUsbAccess usb(driver, boxes);
    Settings settings;
    UsbSpiCard spi(usb, settings);
    usb.FindUsbBuffers();
    ASSERT_TRUE(usb.UsbReady());

    // A register read costs its two bulk transfers: no listing, no opening.
    const int listings = calls.listings;
    const auto bulks = calls.bulks.size();
    calls.log.clear();
    std::uint8_t count = 1;
    spi.UsbSpiTransfer(count);
    EXPECT_EQ(calls.bulks.size(), bulks + 2);
    EXPECT_EQ(calls.listings, listings);
    EXPECT_THAT(calls.log, IsEmpty());

    // Unplugged: the next command says so.
    calls.bus.clear();
    spi.UsbSpiTransfer(count);
    EXPECT_THAT(boxes.texts(), ElementsAre("Error Writing SPI"));
    EXPECT_FALSE(usb.UsbReady());

    // Plugged in again, at a new address: the next search finds it.
    tarrow.summary.address = 6;
    calls.bus = {tarrow};
    usb.FindUsbBuffers();
    ASSERT_TRUE(usb.UsbReady());
    spi.UsbSpiTransfer(count);
    EXPECT_EQ(calls.where(calls.bulks.back().handle), "1.6");

    // Unplugged with no command since: a search does not take the held card for a present one.
    calls.bus.clear();
    usb.FindUsbBuffers();
    EXPECT_FALSE(usb.UsbReady());
    EXPECT_EQ(boxes.texts().back(), "No USB Buffers Found, Please Verify Setup and Restart");
}

// The likeliest fault on a fresh machine: the card is there, but on Linux the
// udev rule that lets the user open it is not installed, on Windows WinUSB is
// not bound to it.
TEST(LibUsbScanTest, ACardTheUserCannotOpenYetIsToldOnceBeforeTheScansOwnMessage) {
    FakeLibUsbCalls calls;
    calls.bus = {FakeLibUsbCalls::card(3, 7)};
#ifdef _WIN32
    calls.bus[0].openError = LIBUSB_ERROR_NOT_SUPPORTED;
    const std::string advice =
        "Windows has not bound WinUSB to it. Bind WinUSB to the card (install "
        "quenlor-winusb.inf from the program's folder, or use a tool such as Zadig), then unplug "
        "and replug the card.";
#else
    calls.bus[0].openError = LIBUSB_ERROR_ACCESS;
    const std::string advice =
        "permission denied. The udev rule " QUENLOR_UDEV_RULE
        " (installed with the program) gives access; reload the rules (sudo udevadm control "
        "--reload-rules && sudo udevadm trigger), then unplug and replug the card.";
#endif
    RecordingMessageBoxes boxes;
    LibUsbDriver driver(calls, boxes);
    EzUsbAccess usb(driver, boxes);

    usb.FindUsbBuffers();

    EXPECT_THAT(boxes.texts(),
                ElementsAre("The USB SPI card at bus 3, address 7 cannot be opened: " + advice,
                            "No USB Buffers Found, Please Verify Setup and Restart"));
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[0].title, kAppTitle);
    EXPECT_EQ(boxes.boxes[0].icon, MessageIcon::Warning);
    EXPECT_FALSE(usb.UsbReady());

    boxes.clear();
    usb.FindUsbBuffers();  // "Search" again, nothing mended
    EXPECT_THAT(boxes.texts(),
                ElementsAre("No USB Buffers Found, Please Verify Setup and Restart"));
}

TEST(LibUsbScanTest, ACardHeldByAnotherProgramIsToldSo) {
    FakeLibUsbCalls calls;
    calls.bus = {FakeLibUsbCalls::card(1, 4)};
    calls.bus[0].claimError = LIBUSB_ERROR_BUSY;
    RecordingMessageBoxes boxes;
    LibUsbDriver driver(calls, boxes);
    EzUsbAccess usb(driver, boxes);

    usb.FindUsbBuffers();

    EXPECT_THAT(boxes.texts(),
                ElementsAre("The USB SPI card at bus 1, address 4 cannot be opened: "
                            "it is in use by another program.",
                            "No USB Buffers Found, Please Verify Setup and Restart"));
    EXPECT_EQ(boxes.boxes[0].icon, MessageIcon::Warning);
    EXPECT_FALSE(usb.UsbReady());
}

}  // namespace
}  // namespace quenlor
