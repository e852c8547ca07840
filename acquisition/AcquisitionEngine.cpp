#include "acquisition/AcquisitionEngine.h"

namespace quenlor {

AcquisitionEngine::AcquisitionEngine(ThreadPriority* priority)
    : owner_(std::this_thread::get_id()), priority_(priority) {}

AcquisitionEngine::~AcquisitionEngine() {
    Wait();
}

bool AcquisitionEngine::Start(std::function<void()> work) {
    if (Active())
        return false;
    StartWorker(std::move(work), false);
    return true;
}

bool AcquisitionEngine::Lend(std::function<void()> job) {
    {
        std::lock_guard lock(mutex_);
        if (lent_.load())
            return false;
        lentDepth_ = ownerDepth_;
        ownerDepth_ = 0;
        lent_.store(true, std::memory_order_release);
        if (active_.load()) {
            job_ = std::move(job);
            jobWaiting_ = true;
            changed_.notify_all();
            return true;
        }
    }
    StartWorker(std::move(job), true);
    return true;
}

void AcquisitionEngine::StartWorker(std::function<void()> work, bool lent) {
    if (worker_.joinable())
        worker_.join();
    active_.store(true, std::memory_order_release);
    worker_ = std::thread([this, lent, work = std::move(work)] { WorkerMain(work, lent); });
}

std::string AcquisitionEngine::WorkerPriority() const {
    std::lock_guard lock(mutex_);
    return workerPriority_;
}

void AcquisitionEngine::WorkerMain(const std::function<void()>& work, bool lent) {
    std::string priority = priority_ ? priority_->raiseCurrentThread() : "normal";
    {
        std::unique_lock lock(mutex_);
        workerPriority_ = std::move(priority);
        AwaitBus(lock, [] { return true; });
        workerHolds_ = true;
    }
    work();
    std::unique_lock lock(mutex_);
    workerHolds_ = false;
    if (lent)
        EndLend();
    // A job lent while the work was ending still runs before the worker goes.
    while (jobWaiting_.load()) {
        changed_.wait(lock, [this] { return OwnerAway(); });
        RunLentJob(lock);
    }
    active_.store(false, std::memory_order_release);
    changed_.notify_all();
}

void AcquisitionEngine::AwaitBus(std::unique_lock<std::mutex>& lock,
                                 const std::function<bool()>& ready) {
    for (;;) {
        changed_.wait(lock, [&] { return OwnerAway() && (jobWaiting_.load() || ready()); });
        if (!jobWaiting_.load())
            return;
        RunLentJob(lock);
    }
}

void AcquisitionEngine::RunLentJob(std::unique_lock<std::mutex>& lock) {
    const std::function<void()> job = std::move(job_);
    job_ = nullptr;
    jobWaiting_ = false;
    const bool held = workerHolds_;
    workerHolds_ = true;
    lock.unlock();
    job();
    lock.lock();
    workerHolds_ = held;
    EndLend();
    changed_.notify_all();
}

void AcquisitionEngine::EndLend() {
    ownerDepth_ += lentDepth_;
    lentDepth_ = 0;
    lent_.store(false, std::memory_order_release);
}

void AcquisitionEngine::Wait() {
    {
        std::unique_lock lock(mutex_);
        while (active_.load(std::memory_order_acquire)) {
            if (!tasks_.empty())
                ServeLocked(lock);
            else
                changed_.wait(lock);
        }
    }
    if (worker_.joinable())
        worker_.join();
}

void AcquisitionEngine::ServeOwner() {
    std::unique_lock lock(mutex_);
    ServeLocked(lock);
}

void AcquisitionEngine::ServeOwnerFor(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    const bool active = active_.load();
    const bool lent = lent_.load();
    changed_.wait_for(lock, timeout, [&] {
        return !tasks_.empty() || active_.load() != active || lent_.load() != lent;
    });
    ServeLocked(lock);
}

void AcquisitionEngine::ServeLocked(std::unique_lock<std::mutex>& lock) {
    while (!tasks_.empty()) {
        Task* task = tasks_.front();
        tasks_.pop_front();
        lock.unlock();
        (*task->call)();
        lock.lock();
        task->done = true;
        changed_.notify_all();
    }
}

void AcquisitionEngine::Yield() {
    if (ownerWants_.load(std::memory_order_relaxed) == 0 &&
        !jobWaiting_.load(std::memory_order_relaxed))
        return;
    std::unique_lock lock(mutex_);
    workerHolds_ = false;
    changed_.notify_all();
    AwaitBus(lock, [] { return true; });
    workerHolds_ = true;
}

void AcquisitionEngine::RunOnOwner(const std::function<void()>& task) {
    Task entry{&task};
    std::unique_lock lock(mutex_);
    tasks_.push_back(&entry);
    workerHolds_ = false;
    changed_.notify_all();
    AwaitBus(lock, [&] { return entry.done; });
    workerHolds_ = true;
}

void AcquisitionEngine::Acquire() {
    std::unique_lock lock(mutex_);
    if (ownerDepth_ > 0) {
        ++ownerDepth_;
        return;
    }
    ++ownerWants_;
    while (workerHolds_) {
        if (!tasks_.empty())
            ServeLocked(lock);
        else
            changed_.wait(lock);
    }
    --ownerWants_;
    ++ownerDepth_;
}

void AcquisitionEngine::Release() {
    std::lock_guard lock(mutex_);
    if (--ownerDepth_ == 0)
        changed_.notify_all();
}

}  // namespace quenlor
