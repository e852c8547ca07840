#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/SimBackends.h"
#include "core/Delay.h"
#include "datalog/DatalogRun.h"
#include "platform/fake/FakeClock.h"
#include "platform/fake/FakeLocaleInfo.h"
#include "platform/fake/FixedAppDirectory.h"
#include "platform/fake/RecordingCursor.h"
#include "platform/fake/RecordingMessageBoxes.h"
#include "spi/RegisterAccess.h"
#include "usb/EzUsbAccess.h"
#include "usb/UsbSpiCard.h"

namespace {

using namespace quenlor;

namespace fs = std::filesystem;

struct Result {
    int status = -1;
    std::string out;
};

// Runs quenlor-cli on the simulator in a fresh folder, in the C locale, standard
// error discarded or kept in the file `err`.
class CliTest : public ::testing::Test {
  protected:
    CliTest()
        : dir_(fs::temp_directory_path() /
               ("quenlor cli " + std::to_string(std::random_device{}()))) {
        fs::create_directories(dir_);
    }
    ~CliTest() override { fs::remove_all(dir_); }

    Result Run(const std::string& args, const std::string& sim = "--simulate --sim-state s.txt",
               const std::string& err = "/dev/null") {
        const std::string command = "cd '" + dir_.string() + "' && LC_ALL=C '" QUENLOR_CLI "' " +
                                    sim + " " + args + " 2>" + err;
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

// The still board is zeroed, the snapshot taken first tells exactly the three
// nulls apart, and a second run finds nothing left to correct; a moving board is refused.
// Seeded, so the noise is the same in every run and the residuals stay far from their limits.
TEST_F(CliTest, NullZeroesAStillBoardAndChangesOnlyTheNullRegisters) {
    const std::string still = "--simulate --sim-seed 7 --sim-motion still --sim-state s.txt";
    const Result zeroed = Run("null --seconds 1 --snapshot undo.txt", still);
    EXPECT_EQ(zeroed.status, 0) << zeroed.out;
    const Result differ = Run("compare undo.txt", still);
    EXPECT_EQ(differ.status, 1);
    std::istringstream lines(differ.out);
    std::vector<std::string> names;
    for (std::string line; std::getline(lines, line);)
        names.push_back(line.substr(0, line.find(' ')));
    EXPECT_EQ(names, (std::vector<std::string>{"XACCL_NULL", "YACCL_NULL", "ZACCL_NULL"}));
    EXPECT_EQ(Run("null --seconds 1 --snapshot again.txt", still).status, 0);

    const Result moving = Run("null --seconds 1 --snapshot moving.txt");
    EXPECT_EQ(moving.status, 1);
    EXPECT_NE(moving.out.find("Nothing was written."), std::string::npos) << moving.out;
    EXPECT_EQ(Run("compare moving.txt").status, 0);
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
    // With the time column: seconds from the first sample.
    std::istringstream timed(Run("stream --registers temp_out --samples 2 --time").out);
    std::getline(timed, line);
    EXPECT_EQ(line, "TIME,TEMP_OUT");
    std::getline(timed, line);
    EXPECT_EQ(line.substr(0, 9), "0.000000,");
    std::getline(timed, line);
    EXPECT_GT(std::stod(line), 0.0);
}

// The usual forms of a command line reach the command: --opt=value, the
// sensor's options after the command, and -- before the arguments.
TEST_F(CliTest, OptionsTakeTheirValueAfterAnEqualsSign) {
    const Result r = Run("stream --samples=5 --registers=TEMP_OUT --raw --simulate", "");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 6) << r.out;
    const Result read = Run("read -- XACCL_OUT TEMP_OUT");
    EXPECT_EQ(read.status, 0);
    EXPECT_NE(read.out.find("\nTEMP_OUT "), std::string::npos) << read.out;
}

// The datalog window's answers for XACCL_OUT and TEMP_OUT ticked, no delay.
class WindowChoices : public DatalogHost {
  public:
    explicit WindowChoices(bool noScale) : noScale_(noScale) {}
    bool IsSelected(int index) override { return index == XACCL_OUT || index == TEMP_OUT; }
    bool NoScale() override { return noScale_; }
    std::string SampleDelayText() override { return "0"; }
    bool CancelRequested() override { return false; }
    void RunBegun(const std::string&) override {}
    void FileBegun(std::int64_t, std::int64_t, std::int64_t) override {}
    void SampleTaken(std::int64_t) override {}
    void RunEnded() override {}
    void Yield() override {}

  private:
    bool noScale_;
};

// The window's run on the same repeatable simulated sensor, its card prepared
// as at start-up, with files into `dir`.
void RunAsTheWindow(const fs::path& dir, const std::string& baseName, bool noHeader, bool noScale) {
    SimBackends sim("", 7);
    Settings settings;
    FakeClock clock;
    RecordingCursor cursor;
    RecordingMessageBoxes boxes;
    FakeLocaleInfo locale;
    FixedAppDirectory appDir(dir);
    Delay delay(settings, clock, cursor, [](std::int32_t, std::int32_t) {});
    settings.DelayCalibrated = true;
    RegisterTable table;
    table.BuildRegisterTable();
    EzUsbAccess usb(sim.usbDriver(), boxes);
    UsbSpiCard card(usb, settings);
    ParallelSpi parallel(settings, sim.portIo(), delay);
    RegisterAccess registers(settings, table, card, parallel, delay);
    settings.Interface = InterfaceUsb;
    usb.FindUsbBuffers();
    card.UsbSpiSetBits(settings.UsbSpiBits);
    card.UsbSpiSetup(settings.UsbSpiDelay);

    WindowChoices host(noScale);
    DatalogRun run({registers, delay, clock, locale, boxes, appDir}, host);
    ASSERT_TRUE(run.Prepare({baseName, "40", "2", noHeader}));
    run.RunDatalog();
    EXPECT_TRUE(boxes.boxes.empty());
}

// Lines 2 to 6 of a header hold the date, the time and the seconds of the run.
std::string WithoutTimes(std::string text) {
    std::size_t start = text.find("\r\n") + 2;
    std::size_t end = start;
    for (int line = 0; line < 5; ++line)
        end = text.find("\r\n", end) + 2;
    return text.erase(start, end - start);
}

TEST_F(CliTest, LogWritesTheFilesOfTheWindowsRun) {
    const std::string cli = "--simulate --sim-seed 7";
    const std::string choices = " --samples 40 --files 2 --registers TEMP_OUT,xaccl_out --dir .";
    ASSERT_EQ(Run("log --name CLI" + choices, cli).status, 0);
    ASSERT_EQ(Run("log --name CLIRAW --raw --no-header" + choices, cli).status, 0);
    RunAsTheWindow(dir_, "WIN", false, false);
    RunAsTheWindow(dir_, "WINRAW", true, true);
    for (const char* f : {"_1.csv", "_2.csv"}) {
        std::string window = WithoutTimes(Read(std::string("WIN") + f));
        window.replace(window.find("WIN_"), 3, "CLI");
        EXPECT_EQ(WithoutTimes(Read(std::string("CLI") + f)), window);
        EXPECT_EQ(Read(std::string("CLIRAW") + f), Read(std::string("WINRAW") + f));
        EXPECT_EQ(std::count(window.begin(), window.end(), '\n'), 3 + 40);
    }
    // The files of a run before are replaced only when asked to.
    const std::string before = Read("CLI_1.csv");
    EXPECT_EQ(Run("log --name CLI --samples 1 --dir .", cli).status, 1);
    EXPECT_EQ(Read("CLI_1.csv"), before);
    EXPECT_EQ(Run("log --name CLI --samples 1 --overwrite --dir .", cli).status, 0);
    EXPECT_NE(Read("CLI_1.csv"), before);
}

// Files that cannot give a true curve are told so; the others are analysed.
TEST_F(CliTest, AnalyzeTellsGapsRepeatsAndMalformedLines) {
    std::ofstream bad(dir_ / "bad.csv");
    bad << "XACCL_OUT,YACCL_OUT\n1,2\n3,4\n5,six\n";
    bad.close();
    EXPECT_EQ(Run("analyze bad.csv", "", "err.txt").status, 2);
    EXPECT_EQ(Read("err.txt"), "quenlor-cli: bad.csv:4: \"six\" is not a number\n");

    std::ofstream repeats(dir_ / "repeats.csv");
    std::ofstream gapped(dir_ / "gapped.csv");
    repeats << "XINCL_OUT\n";
    gapped << "time,XINCL_OUT\n";
    for (int i = 0; i < 400; ++i) {
        repeats << (i / 3) % 5 << "\n";
        gapped << (i < 300 ? i : i + 20) * 0.01 << "," << i % 7 << "\n";
    }
    repeats.close();
    gapped.close();
    EXPECT_EQ(Run("analyze repeats.csv", "").status, 2);  // no rate
    EXPECT_EQ(Run("analyze repeats.csv --rate 10", "", "err.txt").status, 2);
    EXPECT_NE(Read("err.txt").find("266 of 400 rows repeat the row before (134 distinct"),
              std::string::npos);
    EXPECT_EQ(Run("analyze repeats.csv --rate 10 --allow-repeats", "").status, 0);

    const Result r = Run("analyze gapped.csv --csv curves.csv", "", "err.txt");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(Read("err.txt").find("1 gaps in the time column, the largest 0.21 s; analysing the "
                                   "longest even stretch, samples 1 to 300"),
              std::string::npos);
    EXPECT_NE(r.out.find("\nXINCL_OUT  300      100 "), std::string::npos) << r.out;
    EXPECT_EQ(
        Read("curves.csv").find("file,channel,tau_s,adev,lower,upper\ngapped.csv,XINCL_OUT,0.01,"),
        0u);
}

TEST_F(CliTest, NoiseAnalysesTheSamplesOfARun) {
    const Result r = Run("noise --seconds 1 --registers XACCL_OUT,TEMP_OUT");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("Channel ", 0), 0u);
    EXPECT_NE(r.out.find("\nXACCL_OUT "), std::string::npos);
    EXPECT_NE(r.out.find("\nTEMP_OUT "), std::string::npos);
}

// Ctrl-C in the middle of the first file: it is finished as Cancel finishes
// it, no second file is begun, and the exit status tells.
TEST_F(CliTest, InterruptedLogFinishesTheCurrentFile) {
    const std::string folder = dir_.string();
    const char* argv[] = {QUENLOR_CLI, "--simulate", "log",   "--samples",    "1000000",
                          "--files",   "2",          "--dir", folder.c_str(), nullptr};
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, QUENLOR_CLI, nullptr, nullptr, const_cast<char**>(argv), environ),
              0);
    // The run is sampling once its first file is open.
    for (int tries = 0; tries < 2000 && !fs::exists(dir_ / "DATALOG_1.csv.part"); ++tries)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    kill(pid, SIGINT);
    int wait = 0;
    ASSERT_EQ(waitpid(pid, &wait, 0), pid);
    ASSERT_TRUE(WIFEXITED(wait));
    EXPECT_EQ(WEXITSTATUS(wait), 130);

    const std::string file = Read("DATALOG_1.csv");
    const auto lines = std::count(file.begin(), file.end(), '\n');
    EXPECT_GT(lines, 8);
    EXPECT_LT(lines, 8 + 1000000);
    EXPECT_EQ(file.substr(file.size() - 2), "\r\n");
    EXPECT_FALSE(fs::exists(dir_ / "DATALOG_1.csv.part"));
    EXPECT_FALSE(fs::exists(dir_ / "DATALOG_2.csv"));
}

// Killed outright two seconds into a long file: the samples taken so far are
// on disk, and the spool a killed run left before is not overwritten.
TEST_F(CliTest, KilledLogLeavesItsSpooledSamples) {
    std::ofstream(dir_ / "DATALOG_1.csv.unfinished", std::ios::binary) << "1,kept\r\n";
    const std::string folder = dir_.string();
    const char* argv[] = {QUENLOR_CLI, "--simulate", "log",          "--samples",
                          "1000000",   "--dir",      folder.c_str(), nullptr};
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, QUENLOR_CLI, nullptr, nullptr, const_cast<char**>(argv), environ),
              0);
    for (int tries = 0; tries < 2000 && !fs::exists(dir_ / "DATALOG_1.csv.part"); ++tries)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::this_thread::sleep_for(std::chrono::seconds(2));
    kill(pid, SIGKILL);
    int wait = 0;
    ASSERT_EQ(waitpid(pid, &wait, 0), pid);

    EXPECT_EQ(Read("DATALOG_1.csv.unfinished"), "1,kept\r\n");
    const std::string spool = Read("DATALOG_1.csv.unfinished-2");
    EXPECT_GT(std::count(spool.begin(), spool.end(), '\n'), 100);
    EXPECT_EQ(spool.substr(0, 2), "1,");
    EXPECT_NE(spool.find("\r\n2,"), std::string::npos);
}

}  // namespace
