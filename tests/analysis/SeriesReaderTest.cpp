#include <gtest/gtest.h>

#include "analysis/SeriesFile.h"
#include "analysis/SeriesTiming.h"
#include "core/NumberFormat.h"
#include "datalog/DatalogHeader.h"

namespace quenlor {
namespace {

class SeriesReaderTest : public ::testing::Test {
  protected:
    SeriesReaderTest() { table_.BuildRegisterTable(); }

    std::optional<SeriesFile> Read(const std::string& text,
                                   const std::vector<std::string>& registers = {}) {
        return ReadSeriesFile(text, table_, registers, error_);
    }

    RegisterTable table_;
    SeriesReadError error_;
};

// A file as the datalog writes it where "," is the decimal separator: tab
// fields, comma decimals in the header, and here register values.
TEST_F(SeriesReaderTest, ReadsADatalogFileOfACommaDecimalLocaleAndScalesItsRegisterValues) {
    DatalogHeader header;
    header.fileName = "DATALOG_1.txt";
    header.beginSeconds = 3600.25f;
    header.endSeconds = 3610.25f;
    header.columns = {"XACCL_OUT", "TEMP_OUT"};
    header.separator = "\t";
    header.decimalSeparator = ",";
    std::string text = header.Text();
    for (int s = 1; s <= 4000; ++s)
        text += std::to_string(s) + "\t" + std::to_string(s % 7 - 3) + "\t" +
                std::to_string(-10 - s % 2) + "\t\r\n";
    const auto file = Read(text);
    ASSERT_TRUE(file) << error_.line << ": " << error_.message;
    EXPECT_TRUE(file->raw);
    ASSERT_EQ(file->channels, (std::vector<std::string>{"XACCL_OUT", "TEMP_OUT"}));
    ASSERT_EQ(file->Rows(), 4000);
    EXPECT_FLOAT_EQ(static_cast<float>(file->columns[0][0]), -2 * 0.000061f);
    EXPECT_FLOAT_EQ(static_cast<float>(file->columns[1][1]), -10 * -0.47f + 625.66f);
    EXPECT_DOUBLE_EQ(*DatalogRate(*file), 400.0);
    EXPECT_EQ(RepeatedRows(*file), 0);
}

TEST_F(SeriesReaderTest, NamesColumnsOfHeaderlessFilesAndFindsTheTimeColumn) {
    const auto datalog = Read("1,0.5,1.5,\n2,0.25,1.25,\n", {"XACCL_OUT", "YACCL_OUT"});
    ASSERT_TRUE(datalog);
    EXPECT_TRUE(datalog->datalog);
    EXPECT_FALSE(datalog->raw);
    EXPECT_EQ(datalog->channels, (std::vector<std::string>{"XACCL_OUT", "YACCL_OUT"}));
    EXPECT_EQ(datalog->columns[1], (std::vector<double>{1.5, 1.25}));

    const auto stream =
        Read("time,ZINCL_OUT\n0,1\n0.01,2\n0.02,3\n0.05,4\n0.06,5\n0.07,6\n0.08,7\n");
    ASSERT_TRUE(stream);
    EXPECT_EQ(stream->channels, std::vector<std::string>{"ZINCL_OUT"});
    const auto spacing = SpacingOf(stream->times);
    ASSERT_TRUE(spacing);
    EXPECT_NEAR(spacing->rate, 100.0, 1e-9);
    EXPECT_EQ(spacing->gaps, 1);
    EXPECT_NEAR(spacing->largestGap, 0.03, 1e-12);
    EXPECT_EQ(spacing->begin, 3);
    EXPECT_EQ(spacing->end, 7);
}

TEST_F(SeriesReaderTest, MalformedFilesAreRefusedWithTheirLineNumber) {
    EXPECT_FALSE(Read("a,b\n1,2\n3\n4,5\n"));
    EXPECT_EQ(error_.line, 3);
    EXPECT_FALSE(Read("a,b\n\n1,2\n3,x\n"));
    EXPECT_EQ(error_.line, 4);
    EXPECT_EQ(error_.message, "\"x\" is not a number");
    EXPECT_FALSE(Read("File Name,x.csv\nDate,1\nBegin Seconds,noon\n"));
    EXPECT_EQ(error_.line, 3);
    EXPECT_FALSE(Read("a,b\n"));
    EXPECT_FALSE(Read("1,2\n", {"XACCL_OUT"}));
}

}  // namespace
}  // namespace quenlor
