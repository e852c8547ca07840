// The read loop thread's priority on Linux: real-time where the limits allow
// it, else the best nice value they allow, and never a failure.

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/linux/LinuxThreadPriority.h"

namespace quenlor {
namespace {

struct FakeSchedulingCalls : SchedulingCalls {
    std::uint64_t rtprio = 0;
    std::uint64_t nice = 0;
    int fifoError = 0;
    int niceError = 0;
    int niceNow = 0;
    std::vector<std::string> made;

    std::uint64_t realtimeLimit() override { return rtprio; }
    std::uint64_t niceLimit() override { return nice; }
    int fifoMinimum() override { return 1; }
    int setFifo(int priority) override {
        made.push_back("fifo " + std::to_string(priority));
        return fifoError;
    }
    int niceValue() override { return niceNow; }
    int setNice(int value) override {
        made.push_back("nice " + std::to_string(value));
        return niceError;
    }
};

std::string Raise(FakeSchedulingCalls& calls) {
    return LinuxThreadPriority(calls).raiseCurrentThread();
}

TEST(LinuxThreadPriority, TriesRealTimeThenNiceAsTheLimitsAllow) {
    FakeSchedulingCalls audioGroup;  // rtprio 95, nice -19 in limits.conf
    audioGroup.rtprio = 95;
    audioGroup.nice = 39;
    EXPECT_EQ(Raise(audioGroup), "SCHED_FIFO 1");
    EXPECT_EQ(audioGroup.made, (std::vector<std::string>{"fifo 1"}));

    FakeSchedulingCalls noBudget = audioGroup;  // allowed, yet refused by the kernel
    noBudget.made.clear();
    noBudget.fifoError = -1;  // EPERM
    EXPECT_EQ(Raise(noBudget), "nice -19");
    EXPECT_EQ(noBudget.made, (std::vector<std::string>{"fifo 1", "nice -19"}));

    FakeSchedulingCalls niceOnly;  // RLIMIT_NICE 25: down to nice -5
    niceOnly.nice = 25;
    EXPECT_EQ(Raise(niceOnly), "nice -5");
    EXPECT_EQ(niceOnly.made, (std::vector<std::string>{"nice -5"}));

    FakeSchedulingCalls unlimited;
    unlimited.nice = SchedulingCalls::kUnlimited;
    EXPECT_EQ(Raise(unlimited), "nice -20");
}

TEST(LinuxThreadPriority, NeverFailsWhenNothingIsGranted) {
    FakeSchedulingCalls desktop;  // the usual limits: 0 and 0
    EXPECT_EQ(Raise(desktop), "normal (not permitted)");
    EXPECT_TRUE(desktop.made.empty());

    FakeSchedulingCalls alreadyThere;  // started at nice -5, allowed no lower
    alreadyThere.niceNow = -5;
    alreadyThere.nice = 25;
    EXPECT_EQ(Raise(alreadyThere), "normal (not permitted)");
    EXPECT_TRUE(alreadyThere.made.empty());

    FakeSchedulingCalls refused;
    refused.nice = 30;
    refused.niceError = -13;  // EACCES
    EXPECT_EQ(Raise(refused), "normal (refused)");

    // The real calls, on a thread of their own, with this machine's limits.
    std::string got;
    std::thread([&got] { got = LinuxThreadPriority().raiseCurrentThread(); }).join();
    EXPECT_TRUE(got.starts_with("SCHED_FIFO ") || got.starts_with("nice ") ||
                got.starts_with("normal ("))
        << got;
}

}  // namespace
}  // namespace quenlor
