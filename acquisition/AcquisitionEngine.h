#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "platform/ThreadPriority.h"

namespace quenlor {

// One worker thread for long bus work (the read loop, and the jobs a window
// lends it: a datalog run, the card's transfer loop), and the rules by which
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
    // Owner: as ServeOwner, after waiting up to `timeout` for the worker to
    // hand something over, or for its run or lent job to end.
    void ServeOwnerFor(std::chrono::milliseconds timeout);

    // Owner: runs `job` on the worker with the bus lent to it. With a run
    // active, the job runs at the yield point where the run stands, and the
    // run goes on after it; else the worker starts with the job. The owner's
    // bus turns, even one it holds, give way meanwhile: a turn taken during
    // the job waits for the job's yield points, as it waits for the run's.
    // Returns at once: Lent() holds until the job has returned. False (and
    // nothing done) while a job is lent already.
    bool Lend(std::function<void()> job);
    bool Lent() const { return lent_.load(std::memory_order_acquire); }
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
    void StartWorker(std::function<void()> work, bool lent);
    void WorkerMain(const std::function<void()>& work, bool lent);
    void ServeLocked(std::unique_lock<std::mutex>& lock);
    // Worker: waits until the owner neither holds nor wants the bus and
    // `ready` holds, running meanwhile a job the owner lends.
    void AwaitBus(std::unique_lock<std::mutex>& lock, const std::function<bool()>& ready);
    void RunLentJob(std::unique_lock<std::mutex>& lock);
    // The owner's turns held before the lending are its own again.
    void EndLend();
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
    // A lent job: waiting for the worker (read by Yield without the lock, as
    // ownerWants_), and until it has returned.
    std::function<void()> job_;
    std::atomic<bool> jobWaiting_{false};
    std::atomic<bool> lent_{false};
    int lentDepth_ = 0;
    std::string workerPriority_;
};

}  // namespace quenlor
