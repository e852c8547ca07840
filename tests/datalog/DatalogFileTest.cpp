#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "core/NumberFormat.h"
#include "datalog/DatalogHeader.h"
#include "datalog/SampleBuffer.h"

using namespace quenlor;

namespace {

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
