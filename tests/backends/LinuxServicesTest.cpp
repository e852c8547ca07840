#include <gtest/gtest.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/linux/LinuxRegistry.h"
#include "platform/linux/LinuxSystemInfo.h"
#include "platform/linux/PosixProcessRunner.h"

namespace quenlor {
namespace {

TEST(LinuxSystemInfoTest, KernelReleaseBecomesNtVersionAndBuild) {
    const LinuxSystemInfo debian("6.1.0-18-amd64");
    EXPECT_EQ(debian.platformId(), 2);
    EXPECT_DOUBLE_EQ(debian.version(), 6.1);
    EXPECT_EQ(debian.build(), 0);

    const LinuxSystemInfo twoDigitMinor("5.10.162-rt");
    EXPECT_DOUBLE_EQ(twoDigitMinor.version(), 5.10);
    EXPECT_GT(twoDigitMinor.version(), 5.0);  // not read as 5.1 or 5.01
    EXPECT_EQ(twoDigitMinor.build(), 162);

    const LinuxSystemInfo noPatch("4.19");
    EXPECT_DOUBLE_EQ(noPatch.version(), 4.19);
    EXPECT_EQ(noPatch.build(), 0);

    const LinuxSystemInfo garbage("unknown");
    EXPECT_EQ(garbage.platformId(), 2);
    EXPECT_DOUBLE_EQ(garbage.version(), 0.0);
}

TEST(LinuxSystemInfoTest, RunningKernelIsRead) {
    utsname names{};
    ASSERT_EQ(uname(&names), 0);
    const LinuxSystemInfo running;
    EXPECT_DOUBLE_EQ(running.version(), LinuxSystemInfo(names.release).version());
    EXPECT_GE(running.version(), 2.0);
}

TEST(LinuxRegistryTest, ServiceStartReadsAsAutomaticDword) {
    LinuxRegistry registry;
    Registry::Key key = 0;
    ASSERT_EQ(registry.openKey("SYSTEM\\CurrentControlSet\\Services\\giveio",
                               Registry::kAccessQuery, key),
              0);
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    ASSERT_EQ(registry.queryValue(key, "Start", type, nullptr, size), 0);
    EXPECT_EQ(type, Registry::kTypeDword);
    ASSERT_EQ(size, 4u);

    std::uint8_t small[2] = {};
    std::uint32_t smallSize = sizeof small;
    EXPECT_EQ(registry.queryValue(key, "Start", type, small, smallSize), LinuxRegistry::kMoreData);
    EXPECT_EQ(smallSize, 4u);

    std::uint8_t data[4] = {};
    ASSERT_EQ(registry.queryValue(key, "start", type, data, size), 0);
    EXPECT_EQ(data[0] | data[1] << 8 | data[2] << 16 | data[3] << 24, 2);
    EXPECT_EQ(registry.queryValue(key, "ImagePath", type, nullptr, size), LinuxRegistry::kNotFound);
    EXPECT_EQ(registry.closeKey(key), 0);
    EXPECT_EQ(registry.closeKey(key), LinuxRegistry::kInvalidHandle);
    EXPECT_EQ(registry.queryValue(key, "Start", type, nullptr, size),
              LinuxRegistry::kInvalidHandle);
}

TEST(LinuxRegistryTest, OtherKeysAreAbsentAndWritesNeedSetAccess) {
    LinuxRegistry registry;
    Registry::Key key = 0;
    EXPECT_EQ(registry.openKey("SOFTWARE\\Other", Registry::kAccessQuery, key),
              LinuxRegistry::kNotFound);

    ASSERT_EQ(registry.openKey("system\\currentcontrolset\\services\\GIVEIO",
                               Registry::kAccessQuery, key),
              0);
    const std::uint8_t three[4] = {3, 0, 0, 0};
    EXPECT_EQ(registry.setValue(key, "Start", Registry::kTypeDword, three, 4),
              LinuxRegistry::kAccessDenied);
    registry.closeKey(key);

    ASSERT_EQ(
        registry.openKey(LinuxRegistry::kIoPermissionServiceKey, Registry::kAccessSetValue, key),
        0);
    EXPECT_EQ(registry.setValue(key, "DisplayName", Registry::kTypeSz,
                                reinterpret_cast<const std::uint8_t*>("giveio"), 7),
              0);
    registry.closeKey(key);

    ASSERT_EQ(registry.openKey(LinuxRegistry::kIoPermissionServiceKey, Registry::kAccessQuery, key),
              0);
    std::uint32_t type = 0;
    char back[16] = {};
    std::uint32_t size = sizeof back;
    ASSERT_EQ(
        registry.queryValue(key, "DisplayName", type, reinterpret_cast<std::uint8_t*>(back), size),
        0);
    EXPECT_EQ(type, Registry::kTypeSz);
    EXPECT_EQ(size, 7u);
    EXPECT_STREQ(back, "giveio");
    registry.closeKey(key);
}

TEST(PosixProcessRunnerTest, GivesTheExitCodeOfTheCommand) {
    PosixProcessRunner runner;
    EXPECT_EQ(runner.runAndWait("true"), 0u);
    EXPECT_EQ(runner.runAndWait("exit 3"), 3u);
    EXPECT_EQ(runner.runAndWait("kill -9 $$"), 128u + 9u);
    EXPECT_NE(runner.runAndWait("/nonexistent/instdrv2 giveio remove"), 0u);
}

TEST(PosixProcessRunnerTest, QuotedPathWithBlanksRunsAndIsWaitedFor) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("quenlor run " + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const auto script = dir / "temp script.sh";
    const auto marker = dir / "done";
    {
        std::ofstream out(script);
        out << "sleep 0.2\necho finished > \"" << marker.string() << "\"\nexit 7\n";
    }
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);

    PosixProcessRunner runner;
    EXPECT_EQ(runner.runAndWait("\"" + script.string() + "\""), 7u);
    // Waited for: the file the script writes last is already there.
    EXPECT_TRUE(std::filesystem::exists(marker));
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace quenlor
