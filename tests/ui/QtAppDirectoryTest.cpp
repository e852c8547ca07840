#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>

#include "core/Settings.h"
#include "core/SettingsFile.h"
#include "ui/common/QtAppDirectory.h"

namespace quenlor {
namespace {

namespace fs = std::filesystem;

// A program folder, and a home with the user's configuration and documents.
class QtAppDirectoryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(temp_.isValid());
        fs::create_directories(program());
    }
    fs::path root() const { return fs::path(temp_.path().toStdString()); }
    fs::path program() const { return root() / "opt" / "bin"; }
    QtAppDirectory::Locations where() const {
        return {program(), root() / "home" / ".config" / "quenlor-eval",
                root() / "home" / "Documents" / "quenlor-eval", root() / "usr" / "bin"};
    }
    void writeSettings(const fs::path& dir, std::int16_t interface) {
        Settings s;
        s.Interface = interface;
        SaveSettings(s, dir);
    }

    QTemporaryDir temp_;
};

TEST_F(QtAppDirectoryTest, AWritableProgramFolderKeepsEverything) {
    const QtAppDirectory dir(where(), &QtAppDirectory::CanCreateFileIn);
    EXPECT_FALSE(dir.installed());
    EXPECT_EQ(dir.path(), program());
    EXPECT_EQ(dir.settingsDirectory(), program());
    EXPECT_EQ(dir.settingsSource(kSettingsFileName), program());
    EXPECT_EQ(dir.dataDirectory(), program());
    // The probe leaves nothing behind.
    EXPECT_TRUE(fs::is_empty(program()));
}

// The writability check is injected: root may write any folder, so a
// read-only folder alone would not tell the modes apart when run as root.
TEST_F(QtAppDirectoryTest, AReadOnlyProgramFolderMovesSettingsAndDatalogsToTheUser) {
    const QtAppDirectory dir(where(), [](const fs::path&) { return false; });
    ASSERT_TRUE(dir.installed());
    EXPECT_EQ(dir.path(), program());
    EXPECT_EQ(dir.settingsDirectory(), where().userConfig);
    EXPECT_EQ(dir.dataDirectory(), where().userData);

    // The user has no settings yet: the ones beside the program are read,
    // and the user's own from the first save on.
    writeSettings(program(), InterfaceParallel);
    EXPECT_EQ(dir.settingsSource(kSettingsFileName), program());
    writeSettings(dir.settingsDirectory(), InterfaceUsb);
    ASSERT_EQ(dir.settingsSource(kSettingsFileName), where().userConfig);
    Settings read;
    LoadSettings(read, dir.settingsSource(kSettingsFileName));
    EXPECT_EQ(read.Interface, InterfaceUsb);
}

TEST_F(QtAppDirectoryTest, TheInstallFolderIsInstalledModeEvenWhenWritable) {
    QtAppDirectory::Locations at = where();
    at.installedBin = program();
    EXPECT_TRUE(QtAppDirectory(at, [](const fs::path&) { return true; }).installed());
    // Without a home for the files they stay beside the program.
    at.userConfig.clear();
    EXPECT_FALSE(QtAppDirectory(at, [](const fs::path&) { return false; }).installed());
}

TEST_F(QtAppDirectoryTest, TheProbeTriesToCreateAFile) {
    EXPECT_TRUE(QtAppDirectory::CanCreateFileIn(program()));
    EXPECT_FALSE(QtAppDirectory::CanCreateFileIn(program() / "missing"));
    fs::permissions(program(), fs::perms::owner_read | fs::perms::owner_exec);
    const bool readOnlyWritable = QtAppDirectory::CanCreateFileIn(program());
    fs::permissions(program(), fs::perms::owner_all);
    if (readOnlyWritable)
        GTEST_SKIP() << "run as root: a read-only folder can still be written";
    EXPECT_FALSE(readOnlyWritable);
}

}  // namespace
}  // namespace quenlor
