#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

namespace quenlor {

// One pass of the read loop as the window shows it.
struct Sample {
    // Scaled values of rows 1..8; only the rows in `read` were read this pass.
    std::array<float, 9> values{};
    // The same readings as the registers gave them (masked, unscaled).
    std::array<std::int32_t, 9> raw{};
    std::array<bool, 9> read{};
    // The interface gave measurements for the whole pass.
    bool measured = false;
    // Monotonic time of the data-ready that the pass followed (the loop's
    // start for its first pass).
    std::int64_t readyNs = 0;
};

// Samples from the worker to the window, oldest first. Pushing never waits on
// the reader beyond a copy: when the window falls behind by the whole
// capacity, the oldest sample is dropped and counted.
class SampleQueue {
  public:
    static constexpr std::size_t kCapacity = 8192;

    void Push(const Sample& sample);
    // Appends everything waiting to `out`, oldest first, and empties the queue.
    void TakeAll(std::vector<Sample>& out);
    std::uint64_t Dropped() const;

  private:
    mutable std::mutex mutex_;
    std::vector<Sample> ring_ = std::vector<Sample>(kCapacity);
    std::size_t first_ = 0;
    std::size_t count_ = 0;
    std::uint64_t dropped_ = 0;
};

}  // namespace quenlor
