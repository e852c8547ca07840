#include "app/front/ChosenBackends.h"

#include <filesystem>

#include "app/RealBackends.h"
#include "app/SimBackends.h"
#include "app/SimState.h"

namespace quenlor {

ChosenBackends::ChosenBackends(const SensorOptions& options, MessageBoxes& messages) {
    if (!options.simulate) {
        backends_ = std::make_unique<RealBackends>(messages);
        return;
    }
    auto sim = std::make_unique<SimBackends>(options.simTrace, options.simSeed,
                                             options.simTraceLimitBytes());
    sim_ = sim.get();
    backends_ = std::move(sim);
    if (options.simRate)
        sim_->sensor().setSampleRate(*options.simRate);
    if (options.simStill)
        sim_->holdStill(options.simUp);
    if (!options.simTrace.empty() && !sim_->traceOk()) {
        failure_ = "cannot write the bus trace " + options.simTrace;
        return;
    }
    const std::string& state = options.simState;
    if (!state.empty() && std::filesystem::exists(state) &&
        !SimState::Load(state, sim_->sensor(), failure_))
        return;
    statePath_ = state;
}

ChosenBackends::~ChosenBackends() = default;

std::string ChosenBackends::KeepState() {
    if (statePath_.empty() || sim_ == nullptr || SimState::Save(statePath_, sim_->sensor()))
        return {};
    return "cannot write the simulator state " + statePath_;
}

}  // namespace quenlor
