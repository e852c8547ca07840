#include <gtest/gtest.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

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
