#include "acquisition/SampleQueue.h"

namespace quenlor {

void SampleQueue::Push(const Sample& sample) {
    std::lock_guard lock(mutex_);
    if (count_ == kCapacity) {
        first_ = (first_ + 1) % kCapacity;
        --count_;
        ++dropped_;
    }
    ring_[(first_ + count_) % kCapacity] = sample;
    ++count_;
}

void SampleQueue::TakeAll(std::vector<Sample>& out) {
    std::lock_guard lock(mutex_);
    for (std::size_t i = 0; i < count_; ++i)
        out.push_back(ring_[(first_ + i) % kCapacity]);
    first_ = 0;
    count_ = 0;
}

std::uint64_t SampleQueue::Dropped() const {
    std::lock_guard lock(mutex_);
    return dropped_;
}

}  // namespace quenlor
