#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "Win32TestFolder.h"
#include "platform/fake/FixedAppDirectory.h"
#include "platform/fake/RecordingMessageBoxes.h"
#include "platform/win32/Win32Backends.h"
#include "platform/win32/Win32ProcessRunner.h"
#include "platform/win32/Win32Registry.h"
#include "portio/IoDriverInstaller.h"
#include "usb/EzUsbAccess.h"

namespace quenlor {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

void setStart(DWORD start) {
    HKEY k = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kGiveioServiceKey, 0, nullptr, 0, KEY_SET_VALUE,
                              nullptr, &k, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(k, "Start", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&start), 4);
    RegCloseKey(k);
}

// The driver installation against the system's registry, with the stand-in
// installer in a program folder whose path has blanks.
class Win32DriverInstallTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kGiveioServiceKey);
        std::filesystem::copy_file(testProgramFolder() / "instdrv2.exe",
                                   folder.path() / "instdrv2.exe");
    }
    void TearDown() override { RegDeleteTreeA(HKEY_LOCAL_MACHINE, kGiveioServiceKey); }

    void addDriverFile() { std::ofstream(folder.path() / "Giveio.sys") << "driver"; }
    std::filesystem::path batch() const { return folder.path() / "temp.bat"; }

    Win32TestFolder folder{"quenlor program folder"};
    Win32Registry registry;
    Win32ProcessRunner processes;
    FixedAppDirectory appDir{folder.path()};
    RecordingMessageBoxes boxes;
    IoDriverInstaller installer{registry, processes, appDir, boxes};
};

TEST_F(Win32DriverInstallTest, AbsentServiceIsInstalledBySetupAndSwitchedToAutomatic) {
    addDriverFile();

    installer.InstallIoDriver();

    EXPECT_THAT(boxes.boxes, IsEmpty());
    EXPECT_EQ(installer.ReadRegistryText(kGiveioServiceKey, "Start"), "2");
    std::ifstream in(batch(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    const std::string p = folder.path().string();
    EXPECT_EQ(text.str(), "\"" + p + "\\instdrv2\" giveio remove\r\n\"" + p +
                              "\\instdrv2\" giveio \"" + p + "\\Giveio.sys\"\r\n");
}

TEST_F(Win32DriverInstallTest, ServiceOnDemandIsReinstalledAndSwitchedToAutomatic) {
    addDriverFile();
    setStart(3);

    installer.InstallIoDriver();

    EXPECT_THAT(boxes.boxes, IsEmpty());
    EXPECT_TRUE(std::filesystem::exists(batch()));
    EXPECT_EQ(installer.ReadRegistryText(kGiveioServiceKey, "Start"), "2");
    // Reinstalled by the batch file: the stand-in installer recorded the driver's path.
    EXPECT_EQ(installer.ReadRegistryText(kGiveioServiceKey, "ImagePath"),
              (folder.path() / "Giveio.sys").string());
}

TEST_F(Win32DriverInstallTest, FailedInstallationIsReportedAndLeavesTheServiceAbsent) {
    // No Giveio.sys in the program folder: the installer fails.
    installer.InstallIoDriver();

    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "The required I/O drivers could not be installed.");
    EXPECT_EQ(boxes.boxes[0].title, "Error");
    EXPECT_TRUE(std::filesystem::exists(batch()));
    EXPECT_EQ(installer.ReadRegistryText(kGiveioServiceKey, "Start"), "");
}

TEST_F(Win32DriverInstallTest, AutomaticServiceNeedsNothing) {
    setStart(2);

    installer.InstallIoDriver();

    EXPECT_THAT(boxes.boxes, IsEmpty());
    EXPECT_FALSE(std::filesystem::exists(batch()));
}

TEST_F(Win32DriverInstallTest, RegistryTextAndNumberRoundTrip) {
    setStart(3);
    installer.WriteRegistryValue(kGiveioServiceKey, "DisplayName", "giveio driver",
                                 Registry::kTypeSz);
    installer.WriteRegistryValue(kGiveioServiceKey, "Start", "2", Registry::kTypeDword);
    installer.WriteRegistryValue(kGiveioServiceKey, "Type", "1", Registry::kTypeDword);

    EXPECT_EQ(installer.ReadRegistryText(kGiveioServiceKey, "DisplayName"), "giveio driver");
    EXPECT_EQ(installer.ReadRegistryText(kGiveioServiceKey, "Start"), "2");
    EXPECT_EQ(installer.ReadRegistryText(kGiveioServiceKey, "Type"), "1");
    EXPECT_EQ(installer.ReadRegistryText(kGiveioServiceKey, "Absent"), "");
    EXPECT_EQ(installer.ReadRegistryText("SYSTEM\\NoSuchKey", "Start"), "");

    // What the installation wrote is what the system's own API reads.
    DWORD start = 0;
    DWORD size = sizeof start;
    DWORD type = 0;
    HKEY k = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kGiveioServiceKey, 0, KEY_QUERY_VALUE, &k), 0);
    ASSERT_EQ(RegQueryValueExA(k, "Start", nullptr, &type, reinterpret_cast<BYTE*>(&start), &size),
              0);
    RegCloseKey(k);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(start, 2u);
}

// Through the program's own composition of the Windows back-ends.
TEST(Win32UsbScanTest, WithoutTheDriverTheScanFindsNoBuffers) {
    RecordingMessageBoxes boxes;
    Win32Backends backends(boxes);
    EzUsbAccess usb(backends.usbDriver(), boxes);

    usb.FindUsbBuffers();

    EXPECT_THAT(boxes.texts(),
                ElementsAre("No USB Buffers Found, Please Verify Setup and Restart"));
    EXPECT_FALSE(usb.UsbReady());
    EXPECT_EQ(usb.UsbSelectedIndex, -1);
}

}  // namespace
}  // namespace quenlor
