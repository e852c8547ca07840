#include "app/Options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quenlor {
namespace {

using Args = std::vector<std::string>;

TEST(OptionsTest, ReadsTheProgramsOwnOptions) {
    std::string error;
    const auto none = Options::Parse({}, error);
    ASSERT_TRUE(none);
    EXPECT_FALSE(none->simulate);
    EXPECT_TRUE(none->simTrace.empty());
    EXPECT_EQ(none->screenshotMs, 3000);
    EXPECT_EQ(none->simTraceLimitBytes(), 100'000'000u);

    const auto o = Options::Parse(Args{"--simulate", "--sim-trace", "t.txt", "--sim-trace-limit",
                                       "5", "--screenshot", "s.png", "--screenshot-ms", "250"},
                                  error);
    ASSERT_TRUE(o) << error;
    EXPECT_TRUE(o->simulate);
    EXPECT_EQ(o->simTrace, "t.txt");
    EXPECT_EQ(o->simTraceLimitBytes(), 5'000'000u);
    EXPECT_EQ(o->screenshot, "s.png");
    EXPECT_EQ(o->screenshotMs, 250);
    EXPECT_TRUE(Options::Parse(Args{"-h"}, error)->help);
    EXPECT_TRUE(Options::Parse(Args{"--version"}, error)->version);
}

TEST(OptionsTest, QtsOwnOptionsPassWithTheirValues) {
    std::string error;
    const auto o = Options::Parse(
        Args{"-platform", "offscreen", "--simulate", "-reverse", "-style", "Fusion"}, error);
    ASSERT_TRUE(o) << error;
    EXPECT_TRUE(o->simulate);
    EXPECT_FALSE(Options::Parse(Args{"-platform"}, error));
    EXPECT_EQ(error, "-platform needs a value");
}

TEST(OptionsTest, BadCommandLinesAreRefusedWithAReason) {
    const std::string kLimitRefused =
        "--sim-trace-limit needs a whole number of megabytes, at least 1";
    struct Case {
        Args args;
        std::string error;
    };
    for (const Case& c :
         {Case{{"--simulat"}, "unknown option --simulat"},
          Case{{"offscreen"}, "unknown option offscreen"},
          Case{{"--sim-trace", "t.txt"}, "--sim-trace needs --simulate"},
          Case{{"--simulate", "--sim-trace"}, "--sim-trace needs a value"},
          Case{{"--sim-state", "s.txt"}, "--sim-state needs --simulate"},
          Case{{"--simulate", "--sim-seed", "x"}, "--sim-seed needs a whole number"},
          Case{{"--sim-motion", "still"}, "--sim-motion needs --simulate"},
          Case{{"--simulate", "--sim-orientation", "+x"},
               "--sim-orientation needs --sim-motion still"},
          Case{{"--simulate", "--sim-motion", "still", "--sim-orientation", "x"},
               "--sim-orientation needs +x, -x, +y, -y, +z or -z"},
          Case{{"--screenshot", ""}, "--screenshot needs a value"},
          Case{{"--simulate", "--sim-trace", "t", "--sim-trace-limit", "0"}, kLimitRefused},
          Case{{"--simulate", "--sim-trace", "t", "--sim-trace-limit", "1e3"}, kLimitRefused},
          Case{{"--simulate", "--sim-trace-limit", "5"}, "--sim-trace-limit needs --sim-trace"},
          Case{{"--screenshot-ms", "12x"}, "--screenshot-ms needs a whole number of milliseconds"},
          Case{{"--screenshot-ms", "-5"},
               "--screenshot-ms needs a whole number of milliseconds"}}) {
        std::string error;
        EXPECT_FALSE(Options::Parse(c.args, error)) << c.error;
        EXPECT_EQ(error, c.error);
    }
}

}  // namespace
}  // namespace quenlor
