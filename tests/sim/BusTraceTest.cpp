#include "sim/BusTrace.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

#include "sim/SimAdapterCard.h"
#include "sim/SimSensor.h"

namespace quenlor {
namespace {

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

TEST(BusTraceTest, ShowsRequestsAndFramesOfOneTransfer) {
    std::ostringstream out;
    BusTrace trace(out);
    SimSensor sensor(1, [] { return 0.0; });
    SimAdapterCard card(sensor);
    card.placeCard(0);
    card.setTrace(&trace);

    const DeviceHandle h = card.open("Ezusb-0");
    const std::vector<std::uint8_t> pipe0{0, 0, 0, 0};
    std::vector<std::uint8_t> frame{0x0D, 0x01, 0x02, 0x56, 0x00, 0x56, 0x00};
    std::uint32_t returned = 0;
    card.ioControl(h, kIoctlBulkWrite, pipe0, frame, returned);
    card.close(h);
    card.open("Ezusb-3");

    const auto lines = linesOf(out.str());
    ASSERT_EQ(lines.size(), 6u) << out.str();
    EXPECT_EQ(lines[0], "open  Ezusb-0 -> handle 1");
    EXPECT_EQ(lines[1], "spi   ch1 sent 5600 answered 0000");
    EXPECT_EQ(lines[2], "spi   ch1 sent 5600 answered 4013");
    EXPECT_EQ(lines[3],
              "ioctl Ezusb-0 BULK_WRITE (0x222051) in 4 out 7 -> ok, 7 returned "
              "[0D 01 02 56 00 56 00]");
    EXPECT_EQ(lines[4], "close handle 1");
    EXPECT_EQ(lines[5], "open  Ezusb-3 -> failed");
    EXPECT_EQ(trace.lines(), 6u);
}

TEST(BusTraceTest, RecordsDroppedFramesAndWritesToAFile) {
    const auto path = std::filesystem::temp_directory_path() / "quenlor_bus_trace_test.txt";
    {
        BusTrace trace(path.string());
        ASSERT_TRUE(trace.ok());
        SimSensor sensor(1, [] { return 0.0; });
        sensor.setTrace(&trace);
        sensor.beginFrame();
        sensor.endFrame(0x3C00, 9);
    }
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "spi   ch0 sent 3C00 cut after 9 bits, dropped");
    std::filesystem::remove(path);

    BusTrace bad("/nonexistent-dir/trace.txt");
    EXPECT_FALSE(bad.ok());
    bad.note("ignored");  // must not crash
    EXPECT_EQ(bad.lines(), 0u);
}

std::string fileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A run that is killed keeps what it traced; a long one stops at the limit.
TEST(BusTraceTest, EachLineIsInTheFileAtOnceAndTheTraceEndsAtItsLimit) {
    const auto path = std::filesystem::temp_directory_path() / "quenlor_bus_trace_limit.txt";
    {
        BusTrace trace(path.string(), 200);
        trace.note("first");
        EXPECT_EQ(fileText(path), "note  first\n");
        for (int i = 0; i < 50; ++i)
            trace.note("line " + std::to_string(i));
        EXPECT_TRUE(trace.cut());
        const std::string text = fileText(path);
        EXPECT_LE(text.size(), 200u);
        EXPECT_EQ(text.size(), trace.size());
        const auto lines = linesOf(text);
        ASSERT_GE(lines.size(), 3u);
        EXPECT_EQ(lines[lines.size() - 2].substr(0, 10), "note  line");
        EXPECT_EQ(lines.back(), "note  trace cut here: it reached its size limit of 200 bytes");
        EXPECT_EQ(trace.lines(), lines.size());
    }
    std::filesystem::remove(path);
}

}  // namespace
}  // namespace quenlor
