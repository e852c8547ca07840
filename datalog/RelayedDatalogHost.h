#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "acquisition/AcquisitionEngine.h"
#include "datalog/DatalogHost.h"
#include "datalog/DatalogNaming.h"

namespace quenlor {

// The host of a datalog run on the engine's worker, in front of the caller's
// own host (a window's) that stays on the owner's thread. The run's questions
// are answered from what the owner last copied here (atomics, the delay text
// under a lock), never from the owner's host itself. What the run shows goes
// to the owner's host on its thread, the worker waiting meanwhile, but only
// where the display changes: the run's begin and end, each file's begin and
// the progress bar's steps (at most one a tenth and one every 500 samples of
// a file). After a file's begin and a step the owner's host also lets its
// own events through, as a single thread did, so that what they bring (a
// Cancel) counts from the run's next look. Its yields are the engine's.
class RelayedDatalogHost : public DatalogHost {
  public:
    // Owner: answers copied from `shown` at once.
    RelayedDatalogHost(DatalogHost& shown, AcquisitionEngine& engine);

    // Owner: copies the owner's host's answers for the run's next looks.
    void Refresh();

    bool IsSelected(int index) override;
    bool NoScale() override { return noScale_.load(); }
    std::string SampleDelayText() override;
    bool CancelRequested() override { return cancel_.load(); }
    void RunBegun(const std::string& fileExtension) override;
    void FileBegun(std::int64_t file, std::int64_t files, std::int64_t samples) override;
    void SampleTaken(std::int64_t sample) override;
    void RunEnded() override;
    void Yield() override { engine_.Yield(); }

  private:
    // Runs `show` on the owner's thread and refreshes the answers after it.
    void OnOwner(const std::function<void()>& show);

    DatalogHost& shown_;
    AcquisitionEngine& engine_;
    std::array<std::atomic<bool>, kDatalogSelectionCount + 1> selected_{};
    std::atomic<bool> noScale_{false};
    std::atomic<bool> cancel_{false};
    std::mutex delayMutex_;
    std::string delayText_;
    // The progress steps of the current file; the worker's alone.
    std::int64_t samples_ = 0;
    std::int64_t steps_ = 0;
    std::int64_t stepsShown_ = 0;
    std::int64_t nextStepAt_ = 0;
};

}  // namespace quenlor
