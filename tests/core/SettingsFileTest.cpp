#include "core/SettingsFile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

namespace quenlor {
namespace {

namespace fs = std::filesystem;

class SettingsFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = fs::temp_directory_path() /
              ("quenlor-settings-" + std::to_string(::getpid()) + "-" + info->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }

    fs::path file() const { return dir / "CommPort.cfg"; }
    void Write(const std::string& bytes) const {
        std::ofstream out(file(), std::ios::binary);
        out << bytes;
    }
    std::string Read() const {
        std::ifstream in(file(), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    Settings Loaded(const std::string& bytes) const {
        Write(bytes);
        Settings s;
        LoadSettings(s, dir);
        return s;
    }
    int EntriesInDir() const {
        return static_cast<int>(std::distance(fs::directory_iterator(dir), {}));
    }

    fs::path dir;
};

TEST_F(SettingsFileTest, SaveWritesThreeLinesInPrintFormatWithCrLf) {
    Settings s;
    s.Interface = 1;
    s.PortAddress = 888;
    SaveSettings(s, dir);
    EXPECT_EQ(Read(), "Interface =  1 \r\nPort Address =  888 \r\nProductNumber =  0 \r\n");

    s.Interface = 0;
    s.PortAddress = -32768;
    s.ProductNumber = 32767;
    SaveSettings(s, dir);
    EXPECT_EQ(Read(), "Interface =  0 \r\nPort Address = -32768 \r\nProductNumber =  32767 \r\n");
    // Only the settings file remains: the temporary one was renamed over it.
    EXPECT_EQ(EntriesInDir(), 1);
}

TEST_F(SettingsFileTest, SavedFileReadsBackToTheSameValues) {
    Settings saved;
    saved.Interface = 2;
    saved.PortAddress = 0x278;
    saved.ProductNumber = -7;
    // Fields that are not persisted must not leak into the file.
    saved.UsbSpiDelay = 99;
    SaveSettings(saved, dir);
    Settings loaded;
    LoadSettings(loaded, dir);
    EXPECT_EQ(loaded.Interface, 2);
    EXPECT_EQ(loaded.PortAddress, 0x278);
    EXPECT_EQ(loaded.ProductNumber, -7);
    EXPECT_EQ(loaded.UsbSpiDelay, 25);
}

TEST_F(SettingsFileTest, MissingFileKeepsTheStartValues) {
    Settings s;
    s.Interface = 0;
    LoadSettings(s, dir);
    EXPECT_EQ(s.Interface, 0);
    EXPECT_EQ(s.PortAddress, 0);
    EXPECT_EQ(s.ProductNumber, 0);
    LoadSettings(s, dir / "no-such-folder");
    EXPECT_EQ(s.Interface, 0);
    // A folder in the file's place cannot be read either.
    fs::create_directory(file());
    LoadSettings(s, dir);
    EXPECT_EQ(s.PortAddress, 0);
}

TEST_F(SettingsFileTest, KeysMustMatchExactlyWithBlanksAroundTheEqualsSign) {
    const Settings s = Loaded(
        "interface = 2\r\n"
        "PORT ADDRESS = 888\r\n"
        "Interface=2\r\n"
        "Port Address= 888\r\n"
        "ProductNumber =5\r\n"  // value cut one character too far: "" is no number
        "Unknown = 4\r\n");
    EXPECT_EQ(s.Interface, 0);
    EXPECT_EQ(s.PortAddress, 0);
    EXPECT_EQ(s.ProductNumber, 0);
}

TEST_F(SettingsFileTest, KeyIsCutBeforeTheBlankWhateverThatCharacterIs) {
    // The character before "=" is dropped unseen, as is the one after it.
    const Settings s = Loaded("InterfaceX=X2\r\nPort Address  =  888\r\n");
    EXPECT_EQ(s.Interface, 2);
    EXPECT_EQ(s.PortAddress, 0);  // key "Port Address " has a trailing blank
}

TEST_F(SettingsFileTest, LaterDuplicateWins) {
    const Settings s = Loaded("Interface = 1\r\nPort Address = 888\r\nInterface = 2\r\n");
    EXPECT_EQ(s.Interface, 2);
    EXPECT_EQ(s.PortAddress, 888);
}

TEST_F(SettingsFileTest, InvalidLinesAreSkippedAndReadingGoesOn) {
    const Settings s = Loaded(
        "\r\n"
        "no equals sign here\r\n"
        "=\r\n"
        "= 3\r\n"
        "Interface = \r\n"
        "Interface = abc\r\n"
        "Interface = 1.5\r\n"
        "Interface = 12 3\r\n"
        "Port Address = 40000\r\n"
        "ProductNumber = -32769\r\n"
        "Interface = 2\r\n"
        "Port Address = 632\r\n");
    EXPECT_EQ(s.Interface, 2);
    EXPECT_EQ(s.PortAddress, 632);
    EXPECT_EQ(s.ProductNumber, 0);
}

TEST_F(SettingsFileTest, FieldStartsAfterBlanksAndEndsAtACommaOrTheLineEnd) {
    const Settings s = Loaded(
        "   Interface =  1 ,Port Address = 888\n"  // LF only, text after the comma ignored
        "\tProductNumber = +12\t\n"
        "Port Address = 0888");  // no line end at the end of the file
    EXPECT_EQ(s.Interface, 1);
    EXPECT_EQ(s.ProductNumber, 12);
    EXPECT_EQ(s.PortAddress, 888);
}

TEST_F(SettingsFileTest, ValuesOutsideTheThreeKnownInterfacesAreStillRead) {
    // The main window decides what to do with them.
    const Settings s = Loaded("Interface =  7 \r\n");
    EXPECT_EQ(s.Interface, 7);
}

TEST_F(SettingsFileTest, ExistingFileIsReplacedWholeByRename) {
    Write("Interface = 2\r\nPort Address = 1234\r\nProductNumber = 77\r\nsome trailing text\r\n");
    // A reader holding the old file keeps seeing the old contents: the new
    // file is a different one renamed into place, not the old one truncated.
    std::ifstream oldReader(file(), std::ios::binary);
    ASSERT_TRUE(oldReader.is_open());
    Settings s;
    s.Interface = 1;
    SaveSettings(s, dir);
    EXPECT_EQ(Read(), "Interface =  1 \r\nPort Address =  0 \r\nProductNumber =  0 \r\n");
    std::stringstream old;
    old << oldReader.rdbuf();
    EXPECT_EQ(old.str().substr(0, 15), "Interface = 2\r\n");
    EXPECT_EQ(EntriesInDir(), 1);
}

TEST_F(SettingsFileTest, FailuresAreSilentAndLeaveNoTemporaryFile) {
    Settings s;
    s.Interface = 2;
    // The folder does not exist.
    SaveSettings(s, dir / "missing");
    EXPECT_FALSE(fs::exists(dir / "missing"));

    // The folder is a file: nothing can be created inside it.
    const fs::path notAFolder = dir / "plain-file";
    std::ofstream(notAFolder) << "x";
    SaveSettings(s, notAFolder);
    EXPECT_TRUE(fs::is_regular_file(notAFolder));

    // The settings file's name is taken by a folder: the rename fails, and
    // the temporary file written for it is removed again.
    fs::create_directories(file() / "inside");
    SaveSettings(s, dir);
    EXPECT_TRUE(fs::is_directory(file()));
    EXPECT_FALSE(fs::exists(dir / "CommPort.cfg.tmp"));
    EXPECT_EQ(EntriesInDir(), 2);  // plain-file and the folder
}

TEST_F(SettingsFileTest, UnwritableTemporaryLeavesTheOldFileUntouched) {
    Write("Interface = 2\r\n");
    fs::create_directory(dir / "CommPort.cfg.tmp");
    Settings s;
    SaveSettings(s, dir);
    EXPECT_EQ(Read(), "Interface = 2\r\n");
    EXPECT_TRUE(fs::is_directory(dir / "CommPort.cfg.tmp"));
}

}  // namespace
}  // namespace quenlor
