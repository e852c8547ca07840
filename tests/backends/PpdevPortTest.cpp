#include "platform/linux/PpdevPort.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <system_error>
#include <vector>

#include "FakePpdevCalls.h"
#include "platform/fake/RecordingMessageBoxes.h"

namespace quenlor {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

class PpdevPortTest : public ::testing::Test {
  protected:
    FakePpdevCalls calls;
    RecordingMessageBoxes boxes;
};

TEST_F(PpdevPortTest, ClaimsTheDeviceWhoseBaseAddressMatches) {
    calls.directories["/proc/sys/dev/parport"] = {"default", "parport1", "parport0"};
    calls.files["/proc/sys/dev/parport/parport0/base-addr"] = "632\t1656\n";
    calls.files["/proc/sys/dev/parport/parport1/base-addr"] = "888\t1912\n";
    PpdevPort port(boxes, calls);

    port.giveio(0x378);

    EXPECT_EQ(port.device(), "/dev/parport1");
    EXPECT_THAT(calls.opened, ElementsAre("/dev/parport1"));
    // Exclusive before the claim, or the claim would wait for any other user.
    EXPECT_THAT(calls.requests, ElementsAre("PPEXCL", "PPCLAIM"));
    EXPECT_THAT(boxes.boxes, IsEmpty());
}

TEST_F(PpdevPortTest, AddressAbove7FFFArrivesNegativeAndStillMatches) {
    calls.addPort("parport0", "888\t1912\n");
    calls.addPort("parport2", "53264\t53248\n");  // a PCI card at D010
    PpdevPort port(boxes, calls);

    port.giveio(static_cast<std::int16_t>(0xD010));
    port.vbOut(static_cast<std::int16_t>(0xD010), 5);
    calls.status = 0x78;

    EXPECT_EQ(port.device(), "/dev/parport2");
    EXPECT_THAT(calls.dataWrites, ElementsAre(5));
    EXPECT_EQ(port.vbInp(static_cast<std::int16_t>(0xD011)), 0x78);
}

TEST_F(PpdevPortTest, DataRegisterAtBaseAndStatusRegisterAtBasePlusOneOnly) {
    calls.addPort("parport0", "888\t1912\n");
    PpdevPort port(boxes, calls);
    port.giveio(0x378);
    calls.status = 0x3F;

    port.vbOut(0x378, 0x107);  // only the low byte reaches the port
    port.vbOut(0x379, 0x40);   // the status register cannot be written
    port.vbOut(0x37A, 1);
    port.vbOut(0x378, 0);

    EXPECT_THAT(calls.dataWrites, ElementsAre(0x07, 0x00));
    EXPECT_EQ(port.vbInp(0x379), 0x3F);
    EXPECT_EQ(port.vbInp(0x378), PpdevPort::kNoAccess);
    EXPECT_EQ(calls.statusReads, 1);
}

TEST_F(PpdevPortTest, NoSuchPortIsToldOnceAndPortAccessHasNoEffect) {
    calls.addPort("parport0", "632\t1656\n");
    PpdevPort port(boxes, calls);

    port.giveio(0x378);
    port.giveio(0x378);
    port.vbOut(0x378, 5);

    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_THAT(boxes.boxes[0].text, HasSubstr("378"));
    EXPECT_THAT(boxes.boxes[0].text, HasSubstr("/proc/sys/dev/parport"));
    EXPECT_EQ(boxes.boxes[0].title, kAppTitle);
    EXPECT_THAT(calls.opened, IsEmpty());
    EXPECT_THAT(calls.dataWrites, IsEmpty());
    EXPECT_EQ(port.vbInp(0x379), PpdevPort::kNoAccess);
    EXPECT_EQ(calls.statusReads, 0);
}

TEST_F(PpdevPortTest, OpenFailuresNameTheDeviceAndWhatToDo) {
    struct Case {
        int error;
        std::string group;
        std::vector<std::string> said;
        std::string notSaid;
    };
    const std::vector<Case> cases = {
        {EACCES, "lp", {"Permission denied", "\"lp\"", "usermod -aG lp"}, "Give your user"},
        {EPERM, "lp", {"Permission denied", "\"lp\""}, "Give your user"},
        // A group that would grant root's access, or none known: no group advice.
        {EACCES, "root", {"Permission denied", "Give your user read and write access"}, "usermod"},
        {EACCES, "", {"Permission denied", "Give your user read and write access"}, "usermod"},
        {ENOENT, "lp", {"ppdev driver is not loaded", "modprobe ppdev"}, "Permission"},
        {ENODEV, "lp", {"ppdev driver is not loaded"}, "Permission"},
        {ENXIO, "lp", {"ppdev driver is not loaded"}, "Permission"},
        {EIO, "lp", {std::generic_category().message(EIO)}, "ppdev driver"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::generic_category().message(c.error) + ", group \"" + c.group + "\"");
        FakePpdevCalls fake;
        RecordingMessageBoxes messages;
        fake.addPort("parport0", "888\t1912\n");
        fake.openErrors["/dev/parport0"] = c.error;
        if (!c.group.empty())
            fake.groups["/dev/parport0"] = c.group;
        PpdevPort port(messages, fake);

        port.giveio(0x378);
        port.giveio(0x378);
        port.vbOut(0x378, 1);

        ASSERT_EQ(messages.boxes.size(), 1u);
        const std::string& text = messages.boxes[0].text;
        EXPECT_THAT(text, HasSubstr("/dev/parport0"));
        for (const std::string& part : c.said)
            EXPECT_THAT(text, HasSubstr(part));
        EXPECT_THAT(text, Not(HasSubstr(c.notSaid)));
        EXPECT_EQ(messages.boxes[0].title, kAppTitle);
        EXPECT_TRUE(port.device().empty());
        EXPECT_EQ(port.vbInp(0x379), PpdevPort::kNoAccess);
        EXPECT_THAT(fake.requests, IsEmpty());
        EXPECT_THAT(fake.dataWrites, IsEmpty());
    }
}

TEST_F(PpdevPortTest, PortInUseElsewhereIsToldOnceWithoutWaitingAndHasNoEffect) {
    // The exclusive request itself refused, or the claim after it (the kernel
    // refuses an exclusive claim with ENXIO when lp is bound or merely loaded,
    // and with ENXIO or EBUSY when another user holds the port exclusively).
    struct Case {
        int exclusiveError;
        int claimError;
        std::vector<std::string> requests;
    };
    const std::vector<Case> cases = {
        {EINVAL, 0, {"PPEXCL"}},
        {0, ENXIO, {"PPEXCL", "PPCLAIM"}},
        {0, EBUSY, {"PPEXCL", "PPCLAIM"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::generic_category().message(c.exclusiveError + c.claimError));
        FakePpdevCalls fake;
        RecordingMessageBoxes messages;
        fake.addPort("parport0", "888\t1912\n");
        fake.exclusiveError = c.exclusiveError;
        fake.claimError = c.claimError;
        fake.status = 0x40;
        PpdevPort port(messages, fake);

        port.giveio(0x378);
        port.vbOut(0x378, 1);
        const auto status = port.vbInp(0x379);
        port.giveio(0x378);

        ASSERT_EQ(messages.boxes.size(), 1u);
        const std::string& text = messages.boxes[0].text;
        EXPECT_THAT(text, HasSubstr("/dev/parport0 could not be claimed"));
        EXPECT_THAT(text, HasSubstr("another program or driver uses it"));
        EXPECT_THAT(text, HasSubstr("printer driver lp"));
        // The kernel's own reason would mislead here ("No such device or address").
        if (c.claimError != 0) {
            EXPECT_THAT(text, Not(HasSubstr(std::generic_category().message(c.claimError))));
        }
        EXPECT_EQ(status, PpdevPort::kNoAccess);
        EXPECT_EQ(fake.statusReads, 0);
        EXPECT_THAT(fake.dataWrites, IsEmpty());
        EXPECT_TRUE(port.device().empty());
        // Not held, so not released; the device is closed at once. The second
        // giveio tries again, silently.
        ASSERT_EQ(fake.requests.size(), 2 * c.requests.size());
        EXPECT_TRUE(std::equal(c.requests.begin(), c.requests.end(), fake.requests.begin()));
        EXPECT_THAT(fake.released, IsEmpty());
        EXPECT_EQ(fake.closed.size(), fake.opened.size());
    }
}

TEST_F(PpdevPortTest, FailedStatusReadGivesNoAccessValue) {
    calls.addPort("parport0", "888\t1912\n");
    calls.statusError = EIO;
    calls.status = 0;
    PpdevPort port(boxes, calls);
    port.giveio(0x378);

    EXPECT_EQ(port.vbInp(0x379), PpdevPort::kNoAccess);
}

TEST_F(PpdevPortTest, GivesTheDeviceBackWhenDestroyedOrMovedToAnotherPort) {
    calls.addPort("parport0", "888\t1912\n");
    calls.addPort("parport1", "632\t1656\n");
    {
        PpdevPort port(boxes, calls);
        port.giveio(0x378);
        port.giveio(0x378);  // the same port again is not opened twice
        EXPECT_EQ(calls.opened.size(), 1u);
        port.giveio(0x278);
        EXPECT_EQ(port.device(), "/dev/parport1");
        EXPECT_EQ(calls.released.size(), 1u);
        port.vbOut(0x378, 1);  // the old port is no longer written
        EXPECT_THAT(calls.dataWrites, IsEmpty());
    }
    EXPECT_EQ(calls.released.size(), 2u);
    EXPECT_EQ(calls.closed, calls.claimed);
}

}  // namespace
}  // namespace quenlor
