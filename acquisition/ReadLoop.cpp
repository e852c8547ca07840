#include "acquisition/ReadLoop.h"

#include "regmap/RegisterTable.h"
#include "regmap/StatusRegister.h"

namespace quenlor {

ReadLoop::ReadLoop(RegisterAccess& registers, Clock& clock, AcquisitionEngine& engine,
                   const LoopControls& controls, SampleQueue& samples,
                   std::function<bool()> measuring)
    : registers_(registers),
      clock_(clock),
      engine_(engine),
      controls_(controls),
      samples_(samples),
      measuring_(std::move(measuring)) {}

void ReadLoop::Run() {
    std::int64_t readyNs = clock_.monotonicNanoseconds();
    const std::uint64_t limit = controls_.passLimit.load();
    const std::int64_t endNs = controls_.endNs.load();
    std::uint64_t passes = 0;
    do {
        Sample sample;
        sample.readyNs = readyNs;
        if (!ReadRows(sample))
            return;
        samples_.Push(sample);
        passes_.fetch_add(1, std::memory_order_relaxed);
        if (++passes == limit || !WaitForDataReady())
            return;
        readyNs = clock_.monotonicNanoseconds();
        if (endNs != 0 && readyNs > endNs)
            return;
    } while (controls_.running.load());
}

bool ReadLoop::ReadRows(Sample& sample) {
    sample.measured = true;
    for (std::size_t row = 1; row <= 8; ++row) {
        if (controls_.ticks[row].load()) {
            registers_.ReadRegister(static_cast<std::int16_t>(row));
            sample.values[row] = registers_.RegisterReadResult.Scaled;
            sample.raw[row] = registers_.RegisterReadResult.Value;
            sample.read[row] = true;
            sample.measured = measuring_() && sample.measured;
            if (!Yield())
                return false;
        }
        if (!Yield())
            return false;
    }
    return true;
}

bool ReadLoop::WaitForDataReady() {
    int ready = 0;
    do {
        registers_.ReadRegister(DIAG_STAT);
        ready = IsDataReady(registers_.RegisterReadResult.Value) ? 1 : 0;
        measuring_();
        if (!Yield())
            return false;
    } while (ready == 0 && controls_.running.load());
    return true;
}

bool ReadLoop::Yield() {
    engine_.Yield();
    return !controls_.cancel.load();
}

}  // namespace quenlor
