#pragma once

#include <memory>
#include <string>

#include "app/front/SensorOptions.h"
#include "platform/Backends.h"
#include "platform/MessageBoxes.h"

namespace quenlor {

class SimBackends;

// The back-ends of one run, as the options choose them: the simulated sensor
// with its trace and its state kept between runs, or the machine's own.
class ChosenBackends {
  public:
    ChosenBackends(const SensorOptions& options, MessageBoxes& messages);
    ~ChosenBackends();
    ChosenBackends(const ChosenBackends&) = delete;
    ChosenBackends& operator=(const ChosenBackends&) = delete;

    // Why the run cannot start (the trace cannot be written, the kept state
    // cannot be read); empty when it can.
    const std::string& failure() const { return failure_; }
    Backends& backends() { return *backends_; }
    bool simulated() const { return sim_ != nullptr; }

    // Saves the simulated sensor for the next run when a state file was
    // given; the reason when that fails, else empty.
    std::string KeepState();

  private:
    std::string statePath_;
    SimBackends* sim_ = nullptr;
    std::unique_ptr<Backends> backends_;
    std::string failure_;
};

}  // namespace quenlor
