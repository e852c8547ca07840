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
    if (worker_.joinable())
        worker_.join();
    active_.store(true, std::memory_order_release);
    worker_ = std::thread([this, work = std::move(work)] { WorkerMain(work); });
    return true;
}

std::string AcquisitionEngine::WorkerPriority() const {
    std::lock_guard lock(mutex_);
    return workerPriority_;
}

void AcquisitionEngine::WorkerMain(const std::function<void()>& work) {
    std::string priority = priority_ ? priority_->raiseCurrentThread() : "normal";
    {
        std::unique_lock lock(mutex_);
        workerPriority_ = std::move(priority);
        changed_.wait(lock, [this] { return OwnerAway(); });
        workerHolds_ = true;
    }
    work();
    std::lock_guard lock(mutex_);
    workerHolds_ = false;
    active_.store(false, std::memory_order_release);
    changed_.notify_all();
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
    if (ownerWants_.load(std::memory_order_relaxed) == 0)
        return;
    std::unique_lock lock(mutex_);
    workerHolds_ = false;
    changed_.notify_all();
    changed_.wait(lock, [this] { return OwnerAway(); });
    workerHolds_ = true;
}

void AcquisitionEngine::RunOnOwner(const std::function<void()>& task) {
    Task entry{&task};
    std::unique_lock lock(mutex_);
    tasks_.push_back(&entry);
    workerHolds_ = false;
    changed_.notify_all();
    changed_.wait(lock, [&] { return entry.done && OwnerAway(); });
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
