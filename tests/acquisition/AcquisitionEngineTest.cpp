// The read loop on the engine's worker against the simulated card and sensor,
// whose clock stands still: the sensor sets data-ready only when a test says.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>
#include <vector>

#include "acquisition/BusTurn.h"
#include "acquisition/ClockRelay.h"
#include "acquisition/LocaleRelay.h"
#include "acquisition/MessageRelay.h"
#include "acquisition/ReadLoop.h"
#include "acquisition/SampleTiming.h"
#include "datalog/DatalogRun.h"
#include "datalog/RelayedDatalogHost.h"
#include "platform/fake/FakeLocaleInfo.h"
#include "regmap/SensorCommands.h"
#include "sim/BusTrace.h"
#include "tests/spi/SpiRig.h"

namespace quenlor {
namespace {

using test::SpiRig;

class ReadLoopTest : public ::testing::Test {
  protected:
    ReadLoopTest() {
        rig.settings.Interface = InterfaceUsb;
        for (auto& tick : controls.ticks)
            tick = true;
        controls.running = true;
    }
    ~ReadLoopTest() override {
        controls.cancel = true;
        engine().Wait();
    }
    AcquisitionEngine& engine() { return rig.stack.engine(); }
    void Start() {
        ASSERT_TRUE(engine().Start([this] { loop.Run(); }));
    }
    // Waits (on the real clock, the worker's pace) for `passes` passes.
    void AwaitPasses(std::uint64_t passes) {
        for (int i = 0; i < 5000 && loop.passes() < passes; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ASSERT_GE(loop.passes(), passes);
    }
    void SetDataReady() {
        BusTurn turn(engine());
        rig.sensor.pokeWord(SimSensor::kDiagStat, SimSensor::kDataReady);
    }
    std::vector<std::uint16_t> Sent() {
        BusTurn turn(engine());
        return rig.sent(1);
    }

    SpiRig rig;
    LoopControls controls;
    SampleQueue samples;
    int measured = 0;
    ReadLoop loop{rig.regs, rig.clock, engine(), controls, samples, [this] {
                      ++measured;
                      return true;
                  }};
};

// What the window does during a run (here: a write and a read of its own)
// lands between two of the worker's register accesses, never inside one.
TEST_F(ReadLoopTest, ATurnTakenDuringTheRunLandsBetweenTwoRegisterAccesses) {
    rig.regs.WriteRegister(GLOB_CMD, kClearStatusCommand);
    const std::vector<std::uint16_t> write = rig.sent(1);
    ASSERT_EQ(write.size(), 1u);
    rig.clearLog();

    Start();
    AwaitPasses(1);
    std::size_t polled = 0;
    while (polled < 16 + 10)
        polled = Sent().size();
    {
        BusTurn turn(engine());
        rig.regs.WriteRegister(GLOB_CMD, kClearStatusCommand);
        rig.regs.ReadRegister(DIAG_STAT);
    }
    controls.running = false;
    engine().Wait();

    const std::vector<std::uint16_t> sent = rig.sent(1);
    const auto at = std::search(sent.begin(), sent.end(), write.begin(), write.end());
    ASSERT_NE(at, sent.end());
    // Eight rows of one read each, then DIAG_STAT polls; a read is two frames.
    const auto before = static_cast<std::size_t>(at - sent.begin());
    EXPECT_GE(before, 16u + 10u);
    EXPECT_EQ(before % 2, 0u);
    for (auto word = sent.begin() + 16; word != sent.end(); ++word) {
        if (word != at) {
            EXPECT_EQ(*word >> 8, SimSensor::kDiagStat) << (word - sent.begin());
        }
    }
}

// The tick boxes are read afresh at every row, STOP at every poll and at the
// pass's end, and the program's end at every yield point.
TEST_F(ReadLoopTest, TicksStopAndCancelAreReadWhereTheLoopLooks) {
    Start();
    AwaitPasses(1);
    controls.ticks[3] = false;
    SetDataReady();
    AwaitPasses(2);
    controls.running = false;
    engine().Wait();
    EXPECT_EQ(loop.passes(), 2u);
    std::vector<Sample> taken;
    samples.TakeAll(taken);
    ASSERT_EQ(taken.size(), 2u);
    EXPECT_TRUE(taken[0].read[3]);
    EXPECT_FALSE(taken[1].read[3]);
    EXPECT_TRUE(taken[1].read[2] && taken[1].read[4]);
    EXPECT_TRUE(taken[1].measured);
    EXPECT_GT(measured, 16);  // asked after every read, the polls' too

    // Stopped before it started: the first pass still runs, and one poll.
    rig.clearLog();
    Start();
    engine().Wait();
    EXPECT_EQ(loop.passes(), 3u);
    EXPECT_EQ(rig.sent(1).size(), 14u + 2u);  // row 3 still unticked

    // Cancelled: leaves in the middle of its wait, without finishing a pass.
    controls.running = true;
    Start();
    AwaitPasses(4);
    controls.cancel = true;
    engine().Wait();
    EXPECT_FALSE(engine().Active());
    EXPECT_EQ(loop.passes(), 4u);
}

// The datalog window's side of a run: XACCL_OUT and XINCL_OUT ticked, and a
// click made as file 2's second sample is shown.
class TraceDatalogHost : public DatalogHost {
  public:
    std::function<void()> click;
    bool IsSelected(int index) override { return index == 2 || index == 6; }
    bool NoScale() override { return false; }
    std::string SampleDelayText() override { return "0"; }
    bool CancelRequested() override { return false; }
    void RunBegun(const std::string&) override {}
    void FileBegun(std::int64_t file, std::int64_t, std::int64_t) override { file_ = file; }
    void SampleTaken(std::int64_t sample) override {
        if (file_ == 2 && sample == 2)
            click();
    }
    void RunEnded() override {}
    void Yield() override {}

  private:
    std::int64_t file_ = 0;
};

// A stack over a seeded simulator whose clock steps with every reading, so
// the frames of a run depend on the code alone.
struct SteppingRig {
    std::ostringstream log;
    BusTrace trace{log};
    double time = 0.0;
    FakeClock clock;
    FakeLocaleInfo locale;
    RecordingCursor cursor;
    RecordingMessageBoxes messages;
    FixedAppDirectory appDir;
    SimSensor sensor{11, [this] { return time += 0.0001; }};
    SimAdapterCard card{sensor};
    SimParallelBoard board{sensor};
    FakeRegistry registry;
    FakeProcessRunner processes;
    FakeSystemInfo systemInfo;
    BorrowedBackends backends{card, board, board, registry, processes, systemInfo};
    SensorStack stack{backends, {messages, clock, cursor, appDir, &test::CountingSpin}};
    LoopControls controls;
    SampleQueue samples;

    explicit SteppingRig(const std::filesystem::path& folder) : appDir(folder) {
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        card.placeCard(0);
        stack.registerTable().BuildRegisterTable();
        stack.usb().FindUsbBuffers();
        stack.settings().Interface = InterfaceUsb;
        sensor.setTrace(&trace);
        for (auto& tick : controls.ticks)
            tick = true;
        controls.running = true;
    }
    ~SteppingRig() { std::filesystem::remove_all(appDir.path()); }

    // 30 passes with a Read Status click at the first yield point of pass 10,
    // and at that of pass 20 a paced datalog run of three files of three
    // samples, with a Read Status click of its own. A click that `wanted`
    // marks is made by the test's thread, and the worker stands at that
    // yield point until the click waits for it.
    std::string Run(bool onWorker) {
        ReadLoop* self = nullptr;
        unsigned clicks = 0;
        ReadLoop loop{stack.registers(), clock, stack.engine(), controls, samples, [&] {
                          if (clicks < 2 && self->passes() == 9u + 10u * clicks) {
                              ++clicks;
                              if (clicks == 1)
                                  Click(onWorker, [this] { ReadStatus(); });
                              else
                                  Click(onWorker, [this] { Datalog(); });
                          }
                          if (self->passes() >= 30)
                              controls.running = false;
                          return true;
                      }};
        self = &loop;
        if (onWorker) {
            EXPECT_TRUE(stack.engine().Start([&] { loop.Run(); }));
            for (int click = 0; click < 2; ++click) {
                while (!wanted)
                    std::this_thread::yield();
                wanted = false;
                BusTurn turn(stack.engine());
                next();
            }
            stack.engine().Wait();
        } else {
            loop.Run();
        }
        EXPECT_EQ(loop.passes(), 30u);
        return log.str();
    }
    void Click(bool onWorker, std::function<void()> click) {
        if (!onWorker) {
            click();
            return;
        }
        next = std::move(click);
        wanted = true;
        while (!stack.engine().TurnWaiting())
            std::this_thread::yield();
    }
    void ReadStatus() { stack.registers().ReadRegister(DIAG_STAT); }
    // As the datalog window runs it: on the worker when a read loop runs.
    void Datalog() {
        AcquisitionEngine& engine = stack.engine();
        TraceDatalogHost shown;
        shown.click = [&] {
            BusTurn turn(engine);
            ReadStatus();
        };
        RelayedDatalogHost host(shown, engine);
        ClockRelay relayedClock(clock, engine);
        LocaleRelay relayedLocale(locale, engine);
        DatalogRun run({stack.registers(), stack.delay(), relayedClock, relayedLocale,
                        stack.messages(), appDir},
                       host);
        ASSERT_TRUE(run.Prepare({"DATALOG", "3", "3", false, true}));
        if (!engine.Active()) {
            run.RunDatalog();
            return;
        }
        ASSERT_TRUE(engine.Lend([&] { run.RunDatalog(); }));
        while (engine.Lent())
            engine.ServeOwnerFor(std::chrono::milliseconds(1));
    }
    std::string File(int number) const {
        std::ifstream in(appDir.path() / ("DATALOG_" + std::to_string(number) + ".csv"),
                         std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    std::atomic<bool> wanted{false};
    // The click the test's thread makes next.
    std::function<void()> next;
};

// The worker with clicks and a datalog run during the read loop puts the
// same frames on the bus, in the same order, as the loop run on one thread
// with them at the same points, and writes the same files.
TEST(ReadLoopTrace, TheWorkersFramesAreThoseOfOneThread) {
    const auto temp = std::filesystem::temp_directory_path();
    SteppingRig single(temp / "quenlor_trace_single");
    SteppingRig worker(temp / "quenlor_trace_worker");
    const std::string expected = single.Run(false);
    EXPECT_GT(std::count(expected.begin(), expected.end(), '\n'), 30 * 18 + 9 * 4);
    EXPECT_EQ(worker.Run(true), expected);
    for (int file = 1; file <= 3; ++file) {
        const std::string text = single.File(file);
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 8 + 3) << file;
        EXPECT_EQ(worker.File(file), text) << file;
    }
}

// A gap is an interval over 1.5 times the run's median; the rate is the run's.
TEST(SampleTiming, CountsGapsAgainstTheMedianInterval) {
    SampleTiming timing;
    for (const std::int64_t ms : {0, 10, 20, 30, 45, 55, 75, 85})
        timing.Add(ms * 1'000'000);
    EXPECT_EQ(timing.Samples(), 8u);
    EXPECT_EQ(timing.MedianIntervalNs(), 10'000'000.0);
    EXPECT_EQ(timing.Gaps(), 1u);  // 20 ms; 15 ms is not over 15
    EXPECT_NEAR(timing.PassesPerSecond(), 7 / 0.085, 1e-9);
    timing.Reset();
    EXPECT_EQ(timing.PassesPerSecond(), 0.0);
}

// A message box the worker asks for opens on the owner's thread, and the
// worker waits for it.
TEST(MessageRelay, OpensTheWorkersBoxesOnTheOwnersThread) {
    class ThreadRecorder : public MessageBoxes {
      public:
        std::vector<std::thread::id> threads;

      protected:
        void showBox(const std::string&, const std::string&, MessageIcon) override {
            threads.push_back(std::this_thread::get_id());
        }
        bool askBox(const std::string&, const std::string&) override {
            threads.push_back(std::this_thread::get_id());
            return true;
        }
        std::optional<std::string> askTextBox(const std::string&, const std::string&,
                                              const std::string& initial) override {
            return initial;
        }
    };
    ThreadRecorder boxes;
    AcquisitionEngine engine;
    MessageRelay relay(boxes, engine);
    bool answer = false;
    ASSERT_TRUE(engine.Start([&] {
        relay.show("Error Reading SPI");
        answer = relay.ask("Go on?");
    }));
    engine.Wait();
    relay.show("from the owner");
    EXPECT_TRUE(answer);
    ASSERT_EQ(boxes.threads.size(), 3u);
    for (const std::thread::id id : boxes.threads)
        EXPECT_EQ(id, std::this_thread::get_id());
}

}  // namespace
}  // namespace quenlor
