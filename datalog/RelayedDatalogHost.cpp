#include "datalog/RelayedDatalogHost.h"

#include <algorithm>

namespace quenlor {

namespace {

// Each step the owner shows costs the worker a wait for the owner's thread,
// so short files get few steps and long ones fine ones.
std::int64_t ProgressSteps(std::int64_t samples) {
    return std::min(samples, std::max<std::int64_t>(10, samples / 500));
}

}  // namespace

RelayedDatalogHost::RelayedDatalogHost(DatalogHost& shown, AcquisitionEngine& engine)
    : shown_(shown), engine_(engine) {
    Refresh();
}

void RelayedDatalogHost::Refresh() {
    for (int i = 1; i <= kDatalogSelectionCount; ++i)
        selected_[static_cast<std::size_t>(i)] = shown_.IsSelected(i);
    noScale_ = shown_.NoScale();
    {
        std::lock_guard lock(delayMutex_);
        delayText_ = shown_.SampleDelayText();
    }
    cancel_ = shown_.CancelRequested();
}

bool RelayedDatalogHost::IsSelected(int index) {
    return selected_[static_cast<std::size_t>(index)].load();
}

std::string RelayedDatalogHost::SampleDelayText() {
    std::lock_guard lock(delayMutex_);
    return delayText_;
}

void RelayedDatalogHost::OnOwner(const std::function<void()>& show) {
    const std::function<void()> task = [&] {
        show();
        Refresh();
    };
    if (engine_.OnOwnerThread())
        task();
    else
        engine_.RunOnOwner(task);
}

void RelayedDatalogHost::RunBegun(const std::string& fileExtension) {
    OnOwner([&] { shown_.RunBegun(fileExtension); });
}

void RelayedDatalogHost::FileBegun(std::int64_t file, std::int64_t files, std::int64_t samples) {
    samples_ = samples;
    steps_ = ProgressSteps(samples);
    stepsShown_ = 0;
    nextStepAt_ = steps_ > 0 ? samples / steps_ : 0;
    OnOwner([&] {
        shown_.FileBegun(file, files, samples);
        shown_.Yield();
    });
}

void RelayedDatalogHost::SampleTaken(std::int64_t sample) {
    if (sample != nextStepAt_)
        return;
    ++stepsShown_;
    nextStepAt_ = samples_ * (stepsShown_ + 1) / steps_;
    OnOwner([&] {
        shown_.SampleTaken(sample);
        shown_.Yield();
    });
}

void RelayedDatalogHost::RunEnded() {
    OnOwner([&] { shown_.RunEnded(); });
}

}  // namespace quenlor
