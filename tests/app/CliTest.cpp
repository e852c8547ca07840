#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

struct Result {
    int status = -1;
    std::string out;
};

// Runs quenlor-cli on the simulator in `dir`, standard error discarded.
class CliTest : public ::testing::Test {
  protected:
    CliTest()
        : dir_(fs::temp_directory_path() /
               ("quenlor cli " + std::to_string(std::random_device{}()))) {
        fs::create_directories(dir_);
    }
    ~CliTest() override { fs::remove_all(dir_); }

    Result Run(const std::string& args, const std::string& sim = "--simulate --sim-state s.txt") {
        const std::string command =
            "cd '" + dir_.string() + "' && '" QUENLOR_CLI "' " + sim + " " + args + " 2>/dev/null";
        Result r;
        FILE* pipe = popen(command.c_str(), "r");
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            r.out.append(buffer, n);
        const int wait = pclose(pipe);
        r.status = WIFEXITED(wait) ? WEXITSTATUS(wait) : -1;
        return r;
    }

    std::string Read(const std::string& name) const {
        std::ifstream in(dir_ / name, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    fs::path dir_;
};

// Several calls on one simulated board that stays powered between them.
TEST_F(CliTest, DumpWriteCompareRestoreRoundTrip) {
    ASSERT_EQ(Run("dump -o a.txt").status, 0);
    EXPECT_NE(Read("a.txt").find("\r\nXACCL_NULL,12,0000\r\n"), std::string::npos);
    ASSERT_EQ(Run("write XACCL_NULL 1A").status, 0);

    const Result differ = Run("compare a.txt");
    EXPECT_EQ(differ.status, 1);
    EXPECT_EQ(differ.out, "XACCL_NULL   0000 in a.txt, 001A in the sensor\n");

    const Result restored = Run("restore a.txt");
    EXPECT_EQ(restored.status, 0);
    EXPECT_EQ(restored.out, "restored 16 of 16 registers\n");
    const Result same = Run("compare a.txt");
    EXPECT_EQ(same.status, 0);
    EXPECT_EQ(same.out, "");
}

TEST_F(CliTest, BadInputIsAUsageOrAFileErrorAndWritesNothing) {
    std::ofstream(dir_ / "bad.txt") << "# a snapshot\nXACCL_NULL,12,001A\nXACCL_NULL,99,0000\n";
    const std::pair<const char*, int> cases[] = {
        {"read NO_SUCH_REG", 2},      {"write XACCL_NULL 12345", 2},
        {"write XACCL_NULL 0x1A", 2}, {"write PROD_ID 100", 2},
        {"write XACCL_OUT 1", 2},     {"stream --samples 0", 2},
        {"dump --bogus", 2},          {"frobnicate", 2},
        {"restore bad.txt", 1},       {"restore missing.txt", 1},
        {"compare bad.txt", 2},       {"dump -o no/such/folder/a.txt", 1},
    };
    for (const auto& [args, status] : cases)
        EXPECT_EQ(Run(args).status, status) << args;
    EXPECT_EQ(Run("--sim-state s.txt read XACCL_OUT", "").status, 2);
    std::ofstream(dir_ / "state.txt") << "register 12 001A\nregister 13\n";
    EXPECT_EQ(Run("read XACCL_OUT", "--simulate --sim-state state.txt").status, 1);
    EXPECT_FALSE(fs::exists(dir_ / "no"));
    // No register was written by the refused commands.
    EXPECT_EQ(Run("read XACCL_NULL").out.substr(0, 17), "XACCL_NULL   0000");
}

TEST_F(CliTest, StreamWritesOneLinePerSampleAfterTheNames) {
    const Result r = Run("stream --registers temp_out,xaccl_out --samples 3 --raw");
    EXPECT_EQ(r.status, 0);
    std::istringstream lines(r.out);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "XACCL_OUT,TEMP_OUT");
    int samples = 0;
    while (std::getline(lines, line)) {
        ++samples;
        EXPECT_EQ(line.find_first_not_of("-0123456789,"), std::string::npos) << line;
    }
    EXPECT_EQ(samples, 3);
}

}  // namespace
