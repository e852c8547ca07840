#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "platform/ThreadPriority.h"

namespace quenlor {

// One worker thread for long bus work (the read loop), and the rules by which
// it shares the bus with the thread that owns the engine (the windows').
//
// While a run is active the worker holds the bus. It lets go only at its yield
// points, between two of its register accesses: an owner that wants the bus
// (a BusTurn) waits there, does its accesses while the worker stands still,
// and hands the bus back. So the frames on the bus come in the order a single
// thread would give them, and the stack is never used by two threads at once.
// A message box the worker has to show is handed to the owner's thread too.
class AcquisitionEngine {
  public:
    // The constructing thread is the owner. Each run's worker raises its
    // priority through `priority` where given.
    explicit AcquisitionEngine(ThreadPriority* priority = nullptr);
    ~AcquisitionEngine();
    AcquisitionEngine(const AcquisitionEngine&) = delete;
    AcquisitionEngine& operator=(const AcquisitionEngine&) = delete;

    // Owner: runs `work` on the worker thread; false (and nothing started)
    // while a run is active. The work starts once no bus turn is held.
    bool Start(std::function<void()> work);
    // From Start until the work has returned.
    bool Active() const { return active_.load(std::memory_order_acquire); }
    // Owner: waits for the run's end, doing meanwhile what the worker hands
    // over. Not while the owner holds a bus turn.
    void Wait();
    // Owner: does what the worker handed over; returns at once when nothing is.
    void ServeOwner();
    bool OnOwnerThread() const { return std::this_thread::get_id() == owner_; }
    // What the last run's worker got from the system ("SCHED_FIFO 1",
    // "nice -5", "normal (refused)"); empty before the first run.
    std::string WorkerPriority() const;

    // Worker, between two bus accesses: lets a waiting bus turn go first.
    void Yield();
    // Worker: runs `task` on the owner's thread and waits for it. The owner
    // may take bus turns meanwhile, as a nested handler would.
    void RunOnOwner(const std::function<void()>& task);

    // An owner's bus turn is waiting for the worker's next yield point.
    bool TurnWaiting() const { return ownerWants_.load() > 0; }

    // Owner: the bus, for a BusTurn; nests. Returns at once when no run is
    // active, else at the worker's next yield point.
    void Acquire();
    void Release();

  private:
    struct Task {
        const std::function<void()>* call;
        bool done = false;
    };
    void WorkerMain(const std::function<void()>& work);
    void ServeLocked(std::unique_lock<std::mutex>& lock);
    bool OwnerAway() const { return ownerWants_.load() == 0 && ownerDepth_ == 0; }

    const std::thread::id owner_;
    ThreadPriority* const priority_;
    std::thread worker_;
    std::atomic<bool> active_{false};
    // Read by Yield without the lock, so that a yield costs one load when no
    // turn is waiting; changed only under the lock.
    std::atomic<int> ownerWants_{0};
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool workerHolds_ = false;
    int ownerDepth_ = 0;
    std::deque<Task*> tasks_;
    std::string workerPriority_;
};

}  // namespace quenlor
