#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>

#include "acquisition/AcquisitionEngine.h"
#include "acquisition/SampleQueue.h"
#include "platform/Clock.h"
#include "spi/RegisterAccess.h"

namespace quenlor {

// What the window sets and the worker reads afresh wherever the loop looks.
struct LoopControls {
    // The read button says "STOP".
    std::atomic<bool> running{false};
    // The program is ending: the loop leaves at its next yield point.
    std::atomic<bool> cancel{false};
    // Row i's tick box, rows 1..8.
    std::array<std::atomic<bool>, 9> ticks{};
    // A run of this many passes ends after its last one, without waiting for
    // another data-ready; 0 for no limit.
    std::atomic<std::uint64_t> passLimit{0};
    // A run of a chosen time ends at the first data-ready after this
    // monotonic time, unread, however late the window looks; 0 for none.
    std::atomic<std::int64_t> endNs{0};
};

// The read loop, on the engine's worker: each pass reads the ticked output
// rows, hands them over as one Sample and waits for the sensor's data-ready
// bit. The first pass always runs; the next ones while `running` holds at the
// pass's end and the pass limit is not reached. The engine's yield points are where a
// single-threaded loop would run the window's events: after each ticked row's read, after every row
// and after every data-ready poll.
class ReadLoop {
  public:
    // `measuring` is asked after every register read, on the worker: true
    // while a read is a measurement (the interface is working).
    ReadLoop(RegisterAccess& registers, Clock& clock, AcquisitionEngine& engine,
             const LoopControls& controls, SampleQueue& samples, std::function<bool()> measuring);

    void Run();
    std::uint64_t passes() const { return passes_.load(std::memory_order_relaxed); }

  private:
    // False when the loop is cancelled.
    bool ReadRows(Sample& sample);
    bool WaitForDataReady();
    bool Yield();

    RegisterAccess& registers_;
    Clock& clock_;
    AcquisitionEngine& engine_;
    const LoopControls& controls_;
    SampleQueue& samples_;
    std::function<bool()> measuring_;
    std::atomic<std::uint64_t> passes_{0};
};

}  // namespace quenlor
