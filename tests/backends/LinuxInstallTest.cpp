#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/fake/FakeProcessRunner.h"
#include "platform/fake/FixedAppDirectory.h"
#include "platform/fake/RecordingMessageBoxes.h"
#include "platform/linux/LinuxRegistry.h"
#include "portio/IoDriverInstaller.h"

namespace quenlor {
namespace {

TEST(LinuxInstallTest, TheServiceKeyIsTheOneTheInstallationReads) {
    EXPECT_STREQ(LinuxRegistry::kIoPermissionServiceKey, kGiveioServiceKey);
}

// On Linux the kernel's ppdev driver grants port access: nothing to install.
TEST(LinuxInstallTest, DriverInstallationReturnsAtOnceWithoutFileOrProcess) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("quenlor install " + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    LinuxRegistry registry;
    FakeProcessRunner processes;
    FixedAppDirectory appDir(dir);
    RecordingMessageBoxes boxes;
    IoDriverInstaller installer(registry, processes, appDir, boxes);

    EXPECT_EQ(installer.ReadRegistryText(kGiveioServiceKey, "Start"), "2");
    installer.InstallIoDriver();

    EXPECT_TRUE(processes.commands.empty());
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_TRUE(std::filesystem::is_empty(dir));  // no temp.bat written
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace quenlor
