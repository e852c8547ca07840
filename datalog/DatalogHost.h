#pragma once

#include <cstdint>
#include <string>

namespace quenlor {

// What a datalog run reads and reports while it goes: the window, or a caller
// without one. The run asks again at every sample, so a host may answer from
// live controls.
class DatalogHost {
  public:
    virtual ~DatalogHost() = default;

    // Box `index` (1 to 8, the register table index it logs) is ticked.
    virtual bool IsSelected(int index) = 0;
    // Masked register values instead of scaled ones.
    virtual bool NoScale() = 0;
    // The Sample Delay text in milliseconds, as typed.
    virtual std::string SampleDelayText() = 0;
    // The user asked the run to stop after the current sample.
    virtual bool CancelRequested() = 0;

    // The run shows itself; `fileExtension` is the one its files take.
    virtual void RunBegun(const std::string& fileExtension) = 0;
    // File `file` of `files` is open and will take `samples` samples.
    virtual void FileBegun(std::int64_t file, std::int64_t files, std::int64_t samples) = 0;
    // Sample `sample` of the current file has been taken.
    virtual void SampleTaken(std::int64_t sample) = 0;
    // The run is over (finished, cancelled or failed).
    virtual void RunEnded() = 0;

    // A point between two register accesses where the caller may act: its
    // events run there (a Cancel click, a repaint), or, with the run on the
    // acquisition worker, the caller's bus turns.
    virtual void Yield() = 0;
};

}  // namespace quenlor
