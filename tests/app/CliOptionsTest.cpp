#include "app/cli/CliOptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quenlor {
namespace {

using Args = std::vector<std::string>;

TEST(CliOptionsTest, ValuesThatLookLikeOptionsGoWhereTheyAreMeant) {
    std::string error;
    const auto files =
        CliOptions::Parse(Args{"analyze", "--rate=10", "--", "-odd.csv", "--csv"}, error);
    ASSERT_TRUE(files) << error;
    EXPECT_EQ(*files->Value("--rate"), "10");
    EXPECT_EQ(files->args, (Args{"-odd.csv", "--csv"}));
    EXPECT_EQ(files->Value("--csv"), nullptr);

    // An option's value is taken whatever it looks like.
    const auto zeroed = CliOptions::Parse(Args{"--simulate", "--sim-motion", "still", "null",
                                               "--orientation", "-z", "--sim-orientation", "-z"},
                                          error);
    ASSERT_TRUE(zeroed) << error;
    EXPECT_EQ(*zeroed->Value("--orientation"), "-z");
    EXPECT_EQ(zeroed->simUp, "-z");
    EXPECT_EQ(zeroed->command, "null");
}

TEST(CliOptionsTest, RefusalsAreTheProgramsOwnSentences) {
    struct Case {
        Args args;
        std::string error;
    };
    for (const Case& c : {Case{{"dump", "--bogus"}, "unknown option --bogus for dump"},
                          Case{{"frobnicate"}, "unknown command frobnicate"},
                          Case{{"--simulate"}, "no command given"},
                          Case{{"write", "XACCL_NULL"}, "usage: quenlor-cli write NAME HEX"},
                          Case{{"stream", "--samples"}, "--samples needs a value"},
                          Case{{"stream", "--samples="}, "--samples needs a value"},
                          Case{{"--sim-rate", "10", "scan"}, "--sim-rate needs --simulate"},
                          Case{{"--card", "4", "scan"}, "--card needs a card number from 0 to 3"},
                          Case{{"--interface", "usb", "--port", "378", "status"},
                               "--port names a parallel port, not a USB card"}}) {
        std::string error;
        EXPECT_FALSE(CliOptions::Parse(c.args, error)) << c.error;
        EXPECT_EQ(error, c.error);
    }
}

TEST(CliOptionsTest, HelpIsMadeFromTheDeclaredOptions) {
    const std::string stream = CliOptions::HelpText("stream");
    EXPECT_EQ(stream.rfind("Usage: quenlor-cli [SENSOR OPTIONS] stream [--registers LIST]", 0), 0u)
        << stream;
    EXPECT_NE(stream.find("\n  --samples N\n"), std::string::npos) << stream;
    EXPECT_NE(CliOptions::HelpText().find("\n  --sim-rate HZ "), std::string::npos);
}

}  // namespace
}  // namespace quenlor
