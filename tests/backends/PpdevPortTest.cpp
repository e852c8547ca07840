#include "platform/linux/PpdevPort.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "FakePpdevCalls.h"
#include "platform/fake/RecordingMessageBoxes.h"

namespace quenlor {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

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
    EXPECT_EQ(calls.claimed.size(), 1u);
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

TEST_F(PpdevPortTest, PermissionProblemNamesTheDeviceAndItsGroup) {
    calls.addPort("parport0", "888\t1912\n");
    calls.openErrors["/dev/parport0"] = EACCES;
    calls.groups["/dev/parport0"] = "lp";
    PpdevPort port(boxes, calls);

    port.giveio(0x378);

    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_THAT(boxes.boxes[0].text, HasSubstr("/dev/parport0"));
    EXPECT_THAT(boxes.boxes[0].text, HasSubstr("\"lp\""));
    EXPECT_TRUE(port.device().empty());
    EXPECT_EQ(port.vbInp(0x379), PpdevPort::kNoAccess);
    EXPECT_THAT(calls.claimed, IsEmpty());
}

TEST_F(PpdevPortTest, ClaimRefusedClosesTheDeviceAndSaysSo) {
    calls.addPort("parport0", "888\t1912\n");
    calls.claimError = EBUSY;
    PpdevPort port(boxes, calls);

    port.giveio(0x378);
    port.vbOut(0x378, 1);

    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_THAT(boxes.boxes[0].text, HasSubstr("/dev/parport0"));
    EXPECT_EQ(calls.closed.size(), 1u);
    EXPECT_THAT(calls.released, IsEmpty());
    EXPECT_THAT(calls.dataWrites, IsEmpty());
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
