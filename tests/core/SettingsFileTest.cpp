#include "core/SettingsFile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
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
    void Write(const std::string& bytes) const { std::ofstream(file(), std::ios::binary) << bytes; }
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
    long EntriesInDir() const { return std::distance(fs::directory_iterator(dir), {}); }

    fs::path dir;
};

TEST_F(SettingsFileTest, SaveWritesThreeLinesInPrintFormatAndReadsBack) {
    Settings s;
    s.Interface = 1;
    s.PortAddress = 888;
    SaveSettings(s, dir);
    EXPECT_EQ(Read(), "Interface =  1 \r\nPort Address =  888 \r\nProductNumber =  0 \r\n");

    s.Interface = 2;
    s.PortAddress = -32768;
    s.ProductNumber = 32767;
    s.UsbSpiDelay = 99;  // not persisted
    SaveSettings(s, dir);
    EXPECT_EQ(Read(), "Interface =  2 \r\nPort Address = -32768 \r\nProductNumber =  32767 \r\n");
    // Only the settings file remains: the temporary one was renamed over it.
    EXPECT_EQ(EntriesInDir(), 1);

    Settings loaded;
    LoadSettings(loaded, dir);
    EXPECT_EQ(loaded.Interface, 2);
    EXPECT_EQ(loaded.PortAddress, -32768);
    EXPECT_EQ(loaded.ProductNumber, 32767);
    EXPECT_EQ(loaded.UsbSpiDelay, 25);
}

TEST_F(SettingsFileTest, MissingOrUnreadableFileKeepsTheStartValues) {
    Settings s;
    LoadSettings(s, dir);
    LoadSettings(s, dir / "no-such-folder");
    fs::create_directory(file());  // a folder in the file's place
    LoadSettings(s, dir);
    EXPECT_EQ(s.Interface, 0);
    EXPECT_EQ(s.PortAddress, 0);
    EXPECT_EQ(s.ProductNumber, 0);
}

TEST_F(SettingsFileTest, KeysMustMatchExactlyWithOneBlankEachSideOfTheEqualsSign) {
    Settings s = Loaded(
        "interface = 2\r\n"
        "PORT ADDRESS = 888\r\n"
        "Interface=2\r\n"
        "Port Address= 888\r\n"
        "Port Address  =  888\r\n"  // key "Port Address " keeps a blank
        "ProductNumber =5\r\n"      // the value starts one character too far
        "Unknown = 4\r\n");
    EXPECT_EQ(s.Interface, 0);
    EXPECT_EQ(s.PortAddress, 0);
    EXPECT_EQ(s.ProductNumber, 0);
    // The characters next to "=" are dropped unseen, blanks or not.
    s = Loaded("InterfaceX=X2\r\n");
    EXPECT_EQ(s.Interface, 2);
}

TEST_F(SettingsFileTest, InvalidLinesAreSkippedAndALaterDuplicateWins) {
    const Settings s = Loaded(
        "Interface = 1\r\n"
        "\r\n"
        "no equals sign here\r\n"
        "= 3\r\n"
        "Interface = \r\n"
        "Interface = abc\r\n"
        "Interface = 1.5\r\n"
        "Interface = 12 3\r\n"
        "Interface = +-6\r\n"    // not a number, though "-6" is
        "Interface = 40000\r\n"  // only a port address may be written unsigned
        "Port Address = 65536\r\n"
        "ProductNumber = -32769\r\n"
        "Interface = 7\r\n"  // out of the known range, but an integer: the main window decides
        "Port Address = 632\r\n");
    EXPECT_EQ(s.Interface, 7);
    EXPECT_EQ(s.PortAddress, 632);
    EXPECT_EQ(s.ProductNumber, 0);
    // A sign after the "+" makes it no number, though "-6" is one.
    EXPECT_EQ(Loaded("Interface = 1\r\nInterface = +-6\r\nProductNumber = +-1\r\n").Interface, 1);
    EXPECT_EQ(Loaded("ProductNumber = 5\r\nProductNumber = +-1\r\n").ProductNumber, 5);
}

TEST_F(SettingsFileTest, PortAddressWrittenUnsignedKeepsItsSixteenBitsThroughAStartAndExit) {
    // E010 hex, a usual add-in card: read as the same 16-bit pattern and
    // written back in the signed form the reader takes.
    Write("Interface = 1\r\nPort Address = 57360\r\nProductNumber = 3\r\n");
    Settings s;
    LoadSettings(s, dir);
    EXPECT_EQ(static_cast<std::uint16_t>(s.PortAddress), 0xE010);
    SaveSettings(s, dir);
    EXPECT_EQ(Read(), "Interface =  1 \r\nPort Address = -8176 \r\nProductNumber =  3 \r\n");
    Settings again;
    LoadSettings(again, dir);
    EXPECT_EQ(again.PortAddress, s.PortAddress);
    EXPECT_EQ(Loaded("Port Address = 65535\r\n").PortAddress, -1);
    EXPECT_EQ(Loaded("Port Address = 32768\r\n").PortAddress, -32768);
}

TEST_F(SettingsFileTest, FieldStartsAfterBlanksAndEndsAtACommaOrTheLineEnd) {
    const Settings s = Loaded(
        "   Interface =  1 ,Port Address = 888\n"  // LF only; after the comma is ignored
        "\tProductNumber = +12\t\n"
        "Port Address = 0888");  // no line end at the end of the file
    EXPECT_EQ(s.Interface, 1);
    EXPECT_EQ(s.ProductNumber, 12);
    EXPECT_EQ(s.PortAddress, 888);
}

TEST_F(SettingsFileTest, ExistingFileIsReplacedWholeByRename) {
    Write("Interface = 2\r\nPort Address = 1234\r\nProductNumber = 77\r\nsome trailing text\r\n");
    // A reader holding the old file keeps seeing the old contents: the new
    // file is another one renamed into place, not the old one truncated.
    std::ifstream oldReader(file(), std::ios::binary);
    ASSERT_TRUE(oldReader.is_open());
    Settings s;
    s.Interface = 1;
    SaveSettings(s, dir);
    EXPECT_EQ(Read(), "Interface =  1 \r\nPort Address =  0 \r\nProductNumber =  0 \r\n");
    std::stringstream old;
    old << oldReader.rdbuf();
    EXPECT_EQ(old.str().substr(0, 15), "Interface = 2\r\n");
}

TEST_F(SettingsFileTest, FailuresAreSilentAndLeaveNothingBehind) {
    Settings s;
    SaveSettings(s, dir / "missing");
    EXPECT_FALSE(fs::exists(dir / "missing"));

    // A file given as the folder: nothing can be created inside it.
    std::ofstream(dir / "plain-file") << "x";
    SaveSettings(s, dir / "plain-file");
    EXPECT_TRUE(fs::is_regular_file(dir / "plain-file"));

    // A name given as the settings file's folder that is no folder: nothing is written.

    // A folder holds the settings file's name: the rename fails and the
    // temporary file written for it is removed again.
    fs::remove(file());
    fs::create_directories(file() / "inside");
    SaveSettings(s, dir);
    EXPECT_TRUE(fs::is_directory(file() / "inside"));
    EXPECT_EQ(EntriesInDir(), 2);  // plain-file and that folder
}

TEST_F(SettingsFileTest, NoTemporaryBesideTheFileRewritesItInPlace) {
    // Where the folder takes no new file but the file may be written, the save
    // rewrites it. Root writes into any folder, so the temporary's name is
    // taken instead, which no save can clear.
    Write("Interface = 0\r\nPort Address =  888 \r\nProductNumber =  24613 \r\n");
    fs::create_directories(dir / "CommPort.cfg.part" / "taken");
    Settings s;
    s.Interface = 2;
    SaveSettings(s, dir);
    EXPECT_EQ(Read(), "Interface =  2 \r\nPort Address =  0 \r\nProductNumber =  0 \r\n");
    EXPECT_TRUE(fs::is_directory(dir / "CommPort.cfg.part" / "taken"));
}

TEST_F(SettingsFileTest, ALinkedFileIsWrittenThroughTheLinkAndKeepsItsMode) {
    fs::create_directory(dir / "elsewhere");
    const fs::path real = dir / "elsewhere" / "quenlor.cfg";
    std::ofstream(real, std::ios::binary) << "Interface = 0\r\n";
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink(fs::path("elsewhere") / "quenlor.cfg", file());
    Settings s;
    s.Interface = 2;
    SaveSettings(s, dir);
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(file())));
    EXPECT_EQ(Read(), "Interface =  2 \r\nPort Address =  0 \r\nProductNumber =  0 \r\n");
    EXPECT_EQ(fs::status(real).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(EntriesInDir(), 2);  // the link and the folder, no temporary
}

}  // namespace
}  // namespace quenlor
