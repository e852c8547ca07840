#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "core/ReplacedFile.h"

namespace fs = std::filesystem;
using namespace quenlor;

namespace {

class TempDir : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("replaced-file-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    static std::string Read(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static void WriteFile(const fs::path& p, const std::string& text) {
        std::ofstream(p, std::ios::binary) << text;
    }
    int EntryCount() const {
        return static_cast<int>(std::distance(fs::directory_iterator(dir), {}));
    }
    fs::path dir;
};

using ReplacedFileTest = TempDir;

TEST_F(ReplacedFileTest, CommitReplacesTheFinalNameOnlyWhenComplete) {
    const fs::path target = dir / "DATALOG_1.csv";
    WriteFile(target, "old contents of an earlier run");
    ReplacedFile file;
    ASSERT_TRUE(file.Open(target));
    ASSERT_TRUE(file.Write("abc\r\n"));
    ASSERT_TRUE(file.Write("def\r\n"));
    // Until the commit the earlier file is untouched.
    EXPECT_EQ(Read(target), "old contents of an earlier run");
    ASSERT_TRUE(file.Commit());
    EXPECT_EQ(Read(target), "abc\r\ndef\r\n");
    EXPECT_EQ(EntryCount(), 1) << "the temporary file must be gone";
}

TEST_F(ReplacedFileTest, OpenRefusesAFolderOrAnUnwritableDirectory) {
    fs::create_directory(dir / "DATALOG_2.csv");
    ReplacedFile file;
    EXPECT_FALSE(file.Open(dir / "DATALOG_2.csv"));
    EXPECT_TRUE(fs::is_directory(dir / "DATALOG_2.csv"));
    EXPECT_FALSE(file.Open(dir / "no-such-folder" / "DATALOG_1.csv"));
    EXPECT_EQ(EntryCount(), 1);
}

TEST_F(ReplacedFileTest, AFailedRenameKeepsNoTemporaryFile) {
    const fs::path target = dir / "DATALOG_1.csv";
    ReplacedFile file;
    ASSERT_TRUE(file.Open(target));
    ASSERT_TRUE(file.Write("lines\r\n"));
    fs::create_directory(target);  // someone took the name while sampling ran
    fs::create_directory(target / "inside");
    EXPECT_FALSE(file.Commit());
    EXPECT_TRUE(fs::is_directory(target / "inside"));
    EXPECT_FALSE(fs::exists(file.TempPath()));
}

TEST_F(ReplacedFileTest, AFullDiskLeavesTheEarlierFileAndNoTemporary) {
    const fs::path target = dir / "DATALOG_1.csv";
    WriteFile(target, "earlier");
    // A file size limit fails writes as a full disk does.
    auto* previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);

    bool wrote = true;
    bool committed = true;
    {
        ReplacedFile file;
        if (file.Open(target)) {
            wrote = file.Write(std::string(64 * 1024, 'x'));
            committed = file.Commit();
        }
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_FALSE(wrote && committed);
    EXPECT_EQ(Read(target), "earlier");
    EXPECT_EQ(EntryCount(), 1);
}

TEST_F(ReplacedFileTest, AnUnfinishedFileIsDroppedWithoutTouchingTheFinalName) {
    const fs::path target = dir / "DATALOG_1.csv";
    {
        ReplacedFile file;
        ASSERT_TRUE(file.Open(target));
        ASSERT_TRUE(file.Write("half"));
        EXPECT_TRUE(fs::exists(file.TempPath()));
    }
    EXPECT_EQ(EntryCount(), 0);
}

TEST_F(ReplacedFileTest, AFolderThatTakesNoNewFileGetsTheFileRewrittenInPlace) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into a read-only folder; the settings file test covers "
                        "the same path with the temporary's name taken";
    const fs::path target = dir / "DATALOG_1.csv";
    WriteFile(target, "an earlier and longer run's contents");
    fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
    ReplacedFile file;
    const bool opened = file.Open(target);
    const bool written = opened && file.Write("new\r\n") && file.Commit();
    fs::permissions(dir, fs::perms::owner_all);
    ASSERT_TRUE(opened);
    EXPECT_TRUE(written);
    EXPECT_EQ(Read(target), "new\r\n");
    EXPECT_EQ(EntryCount(), 1);
}

TEST_F(ReplacedFileTest, WhateverHoldsTheTemporaryNameIsReplaced) {
    const fs::path target = dir / "DATALOG_1.csv";
    // A killed run's temporary, read-only (another user's run, say)...
    WriteFile(dir / "DATALOG_1.csv.part", "half of a killed run's file");
    fs::permissions(dir / "DATALOG_1.csv.part", fs::perms::owner_read);
    ReplacedFile first;
    ASSERT_TRUE(first.Open(target));
    ASSERT_TRUE(first.Write("first\r\n"));
    ASSERT_TRUE(first.Commit());
    EXPECT_EQ(Read(target), "first\r\n");
    EXPECT_EQ(EntryCount(), 1);

    // ...or a link to another file, which must not be written through.
    WriteFile(dir / "other.txt", "not ours");
    fs::create_symlink("other.txt", dir / "DATALOG_1.csv.part");
    ReplacedFile second;
    ASSERT_TRUE(second.Open(target));
    ASSERT_TRUE(second.Write("second\r\n"));
    ASSERT_TRUE(second.Commit());
    EXPECT_EQ(Read(dir / "other.txt"), "not ours");
    EXPECT_EQ(Read(target), "second\r\n");
    EXPECT_FALSE(fs::is_symlink(fs::symlink_status(target)));
    EXPECT_EQ(EntryCount(), 2);
}

}  // namespace
