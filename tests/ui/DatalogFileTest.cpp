#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>

#include "core/DatalogHeader.h"
#include "core/NumberFormat.h"
#include "core/ReplacedFile.h"
#include "core/SampleBuffer.h"

namespace fs = std::filesystem;
using namespace quenlor;

namespace {

class TempDir : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("datalog-file-" + std::to_string(::getpid()) + "-" +
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

TEST(SampleBufferTest, BuildsLinesWithTrailingSeparatorsAndKeepsItsMemory) {
    SampleBuffer lines;
    ASSERT_TRUE(lines.Reserve(100, 2));
    const std::size_t capacity = lines.Capacity();
    EXPECT_GE(capacity, 100 * SampleBuffer::LineBound(2));
    lines.BeginLine(1, ",");
    lines.AppendInteger(-32768);
    lines.Append(",");
    lines.Append("1.5");
    lines.Append(",");
    lines.EndLine();
    lines.BeginLine(2, "\t");
    lines.AppendInteger(std::numeric_limits<std::int32_t>::min());
    lines.Append("\t");
    lines.EndLine();
    EXPECT_EQ(lines.Text(), "1,-32768,1.5,\r\n2\t-2147483648\t\r\n");
    EXPECT_EQ(lines.Lines(), 2);
    lines.Clear();
    EXPECT_EQ(lines.Text(), "");
    EXPECT_EQ(lines.Capacity(), capacity);
}

TEST(SampleBufferTest, RefusesMoreThanTheLimitWithoutAllocating) {
    SampleBuffer lines;
    const std::int64_t largest = SampleBuffer::LargestSampleCount(1);
    EXPECT_EQ(largest, static_cast<std::int64_t>(SampleBuffer::kMaxBytes / 29));
    EXPECT_FALSE(lines.Reserve(largest + 1, 1));
    EXPECT_FALSE(lines.Reserve(2147483647, 8));
    EXPECT_FALSE(lines.Reserve(-1, 1));
    EXPECT_EQ(lines.Capacity(), std::string().capacity());
}

TEST(SampleBufferTest, LineBoundHoldsTheLongestLine) {
    // The reservation is only once per run if no line can be longer than the bound.
    for (const char* decimal : {".", ","}) {
        for (float value : {-3.4028235e38f, -1.17549435e-38f, -1.234567e-5f, -1234567.0f,
                            -0.1234567f, -2.5e-45f}) {
            SampleBuffer lines;
            lines.BeginLine(2147483647, ",");
            for (int i = 0; i < 8; ++i) {
                lines.Append(FormatGeneral(value, decimal));
                lines.Append(",");
            }
            lines.EndLine();
            EXPECT_LE(lines.Text().size(), SampleBuffer::LineBound(8)) << lines.Text();
        }
    }
    SampleBuffer lines;
    lines.BeginLine(2147483647, ",");
    for (int i = 0; i < 8; ++i) {
        lines.AppendInteger(std::numeric_limits<std::int32_t>::min());
        lines.Append(",");
    }
    lines.EndLine();
    EXPECT_LE(lines.Text().size(), SampleBuffer::LineBound(8));
}

TEST(DatalogHeaderTest, EightLinesWithTheLocaleDecimalSeparator) {
    DatalogHeader header;
    header.fileName = "RUN_3.txt";
    header.date = "07.12.2026";
    header.time = "06:10:00";
    header.beginSeconds = 100.5f;
    header.endSeconds = 102.75f;
    header.columns = {"SUPPLY_OUT", "ZINCL_OUT"};
    header.separator = "\t";
    header.decimalSeparator = ",";
    EXPECT_EQ(header.Text(),
              "File Name\tRUN_3.txt\r\n"
              "Date\t07.12.2026\r\n"
              "Time\t06:10:00\r\n"
              "Begin Seconds\t100,5\r\n"
              "End Seconds\t102,75\r\n"
              "Elapsed Seconds\t2,25\r\n"
              " \r\n"
              "Sample #\tSUPPLY_OUT\tZINCL_OUT\t\r\n");
}

}  // namespace
