#include "portio/IoDriverInstaller.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "platform/fake/FakeProcessRunner.h"
#include "platform/fake/FakeRegistry.h"
#include "platform/fake/FixedAppDirectory.h"
#include "platform/fake/RecordingMessageBoxes.h"

namespace quenlor {
namespace {

namespace fs = std::filesystem;

using Bytes = std::vector<std::uint8_t>;

constexpr char kSep = static_cast<char>(fs::path::preferred_separator);
const Bytes kDword2{2, 0, 0, 0};

std::string ReadFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The installer over an in-memory registry and a stand-in for the batch run,
// in a program directory of its own whose name has blanks in it.
class IoDriverInstallerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = fs::temp_directory_path() /
              ("quenlor eval " + std::to_string(::getpid()) + " " + info->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        // What the process saw: the batch file as it was when it ran.
        processes.onRun = [this](const std::string&) {
            batchAtRun = ReadFile(batchFile());
            if (installerLeaves)
                registry.setDword(kGiveioServiceKey, "Start", *installerLeaves);
        };
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }

    fs::path batchFile() const { return dir / "temp.bat"; }
    std::string p() const { return dir.string(); }

    std::string expectedBatch() const {
        const std::string installer = "\"" + p() + kSep + "instdrv2\"";
        return installer + " giveio remove\r\n" + installer + " giveio \"" + p() + kSep +
               "Giveio.sys\"\r\n";
    }
    std::string expectedCommand() const { return "\"" + p() + kSep + "temp.bat\""; }

    void expectNothingRun() {
        EXPECT_TRUE(processes.commands.empty());
        EXPECT_FALSE(fs::exists(batchFile()));
        EXPECT_TRUE(registry.writes.empty());
        EXPECT_TRUE(boxes.boxes.empty());
    }
    void expectInstalledAndSetToAutomatic() {
        ASSERT_EQ(processes.commands, std::vector<std::string>{expectedCommand()});
        EXPECT_EQ(batchAtRun, expectedBatch());
        EXPECT_EQ(ReadFile(batchFile()), expectedBatch());  // left on disk
        ASSERT_EQ(registry.writes.size(), 1u);
        EXPECT_EQ(registry.writes[0].key, kGiveioServiceKey);
        EXPECT_EQ(registry.writes[0].name, "Start");
        EXPECT_EQ(registry.writes[0].type, Registry::kTypeDword);
        EXPECT_EQ(registry.writes[0].data, kDword2);
        EXPECT_TRUE(boxes.boxes.empty());
        EXPECT_EQ(registry.openHandles(), 0u);
    }

    fs::path dir;
    FakeRegistry registry;
    FakeProcessRunner processes;
    RecordingMessageBoxes boxes;
    std::optional<std::uint32_t> installerLeaves;  // "Start" after the batch run
    std::string batchAtRun;
};

TEST_F(IoDriverInstallerTest, AutomaticStartAlreadySetDoesNothing) {
    FixedAppDirectory appDir(dir);
    IoDriverInstaller installer(registry, processes, appDir, boxes);

    registry.setDword(kGiveioServiceKey, "Start", 2);
    installer.InstallIoDriver();
    expectNothingRun();

    // The same text stored as a string counts alike.
    registry.setString(kGiveioServiceKey, "Start", "2");
    installer.InstallIoDriver();
    expectNothingRun();
    EXPECT_EQ(registry.openHandles(), 0u);
}

TEST_F(IoDriverInstallerTest, AbsentServiceIsInstalledThenSetToAutomatic) {
    FixedAppDirectory appDir(dir);
    IoDriverInstaller installer(registry, processes, appDir, boxes);
    installerLeaves = 3;
    installer.InstallIoDriver();
    expectInstalledAndSetToAutomatic();
    EXPECT_EQ(installer.ReadRegistryText(kGiveioServiceKey, "Start"), "2");
}

TEST_F(IoDriverInstallerTest, OnDemandServiceIsReinstalledAndAnOldBatchFileReplaced) {
    std::ofstream(batchFile(), std::ios::binary) << std::string(400, 'x') << "\r\n";
    registry.setDword(kGiveioServiceKey, "Start", 3);
    installerLeaves = 3;
    FixedAppDirectory appDir(dir);
    IoDriverInstaller installer(registry, processes, appDir, boxes);
    installer.InstallIoDriver();
    expectInstalledAndSetToAutomatic();
}

// A directory given with its trailing separator gets no second one.
TEST_F(IoDriverInstallerTest, DirectoryWithTrailingSeparatorGivesTheSamePaths) {
    FixedAppDirectory appDir(fs::path(p() + kSep));
    IoDriverInstaller installer(registry, processes, appDir, boxes);
    installerLeaves = 3;
    installer.InstallIoDriver();
    expectInstalledAndSetToAutomatic();
}

TEST_F(IoDriverInstallerTest, FailedInstallationShowsTheErrorBoxAndLeavesStartAlone) {
    struct Case {
        const char* name;
        std::optional<std::uint32_t> before;
        std::optional<std::uint32_t> after;
    };
    // Installer missing (nothing changes), or the service ends up disabled.
    for (const Case& c : {Case{"absent, nothing installed", std::nullopt, std::nullopt},
                          Case{"on demand, installer gone", 3, std::nullopt},
                          Case{"ends up disabled", std::nullopt, 4}}) {
        SCOPED_TRACE(c.name);
        registry = FakeRegistry{};
        processes.commands.clear();
        boxes.clear();
        if (c.before)
            registry.setDword(kGiveioServiceKey, "Start", *c.before);
        // Reinstalling removes the service first; a run that fails after that
        // leaves it removed.
        processes.onRun = [this, c](const std::string&) {
            if (c.before)
                registry.keys.clear();
            if (c.after)
                registry.setDword(kGiveioServiceKey, "Start", *c.after);
        };

        FixedAppDirectory appDir(dir);
        IoDriverInstaller installer(registry, processes, appDir, boxes);
        installer.InstallIoDriver();

        EXPECT_EQ(processes.commands.size(), 1u);
        EXPECT_TRUE(registry.writes.empty());
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes[0].text, "The required I/O drivers could not be installed.");
        EXPECT_EQ(boxes.boxes[0].title, "Error");
        EXPECT_EQ(registry.openHandles(), 0u);
    }
}

// Without administrator rights the switch to automatic start is refused;
// the result is ignored and no message follows.
TEST_F(IoDriverInstallerTest, RefusedSwitchToAutomaticIsIgnored) {
    installerLeaves = 3;
    registry.denyWrites = true;
    FixedAppDirectory appDir(dir);
    IoDriverInstaller installer(registry, processes, appDir, boxes);
    installer.InstallIoDriver();
    EXPECT_EQ(processes.commands.size(), 1u);
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(installer.ReadRegistryText(kGiveioServiceKey, "Start"), "3");
    EXPECT_EQ(registry.openHandles(), 0u);
}

TEST_F(IoDriverInstallerTest, RegistryValuesReadAsText) {
    FixedAppDirectory appDir(dir);
    IoDriverInstaller installer(registry, processes, appDir, boxes);
    const std::string key = kGiveioServiceKey;

    EXPECT_EQ(installer.ReadRegistryText(key, "Start"), "");  // no key
    registry.setDword(key, "Start", 2);
    EXPECT_EQ(installer.ReadRegistryText(key, "Start"), "2");
    EXPECT_EQ(installer.ReadRegistryText(key, "Type"), "");  // no value
    registry.setString(key, "ImagePath", "C:\\giveio.sys");
    EXPECT_EQ(installer.ReadRegistryText(key, "ImagePath"), "C:\\giveio.sys");
    // A string stored without its terminating zero is taken whole.
    registry.setRaw(key, "Group", Registry::kTypeSz, {'B', 'a', 's', 'e'});
    EXPECT_EQ(installer.ReadRegistryText(key, "Group"), "Base");
    registry.setRaw(key, "Empty", Registry::kTypeSz, {});
    EXPECT_EQ(installer.ReadRegistryText(key, "Empty"), "");

    // Other types are refused with -1 and give no text.
    registry.setRaw(key, "Blob", 3, {1, 2, 3});
    EXPECT_EQ(installer.ReadRegistryText(key, "Blob"), "");
    Registry::Key handle = 0;
    ASSERT_EQ(registry.openKey(key, Registry::kAccessQuery, handle), 0);
    std::string value = "stale";
    EXPECT_EQ(installer.QueryRegistryValue(handle, "Blob", value), -1);
    EXPECT_EQ(value, "");
    EXPECT_EQ(installer.QueryRegistryValue(handle, "Missing", value), FakeRegistry::kNotFound);
    EXPECT_EQ(value, "");
    registry.closeKey(handle);
    EXPECT_EQ(registry.openHandles(), 0u);
}

TEST_F(IoDriverInstallerTest, RegistryValuesWrittenByType) {
    FixedAppDirectory appDir(dir);
    IoDriverInstaller installer(registry, processes, appDir, boxes);
    const std::string key = kGiveioServiceKey;
    registry.setDword(key, "Start", 3);

    installer.WriteRegistryValue(key, "DisplayName", "giveio", Registry::kTypeSz);
    installer.WriteRegistryValue(key, "Start", "2", Registry::kTypeDword);
    installer.WriteRegistryValue(key, "Odd", "2", 3);                        // other type: nothing
    installer.WriteRegistryValue(key, "Start", "2x", Registry::kTypeDword);  // not a number
    installer.WriteRegistryValue("SYSTEM\\NoSuchKey", "Start", "2", Registry::kTypeDword);
    ASSERT_EQ(registry.writes.size(), 2u);
    EXPECT_EQ(registry.writes[0].type, Registry::kTypeSz);
    EXPECT_EQ(registry.writes[0].data, (Bytes{'g', 'i', 'v', 'e', 'i', 'o', 0}));
    EXPECT_EQ(registry.writes[1].type, Registry::kTypeDword);
    EXPECT_EQ(registry.writes[1].data, kDword2);
    EXPECT_EQ(registry.openHandles(), 0u);
}

}  // namespace
}  // namespace quenlor
