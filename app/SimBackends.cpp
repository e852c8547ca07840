#include "app/SimBackends.h"

#include <random>

namespace quenlor {

SimBackends::SimBackends(const std::string& tracePath)
    : trace_(tracePath.empty() ? nullptr : std::make_unique<BusTrace>(tracePath)),
      sensor_(std::random_device{}()) {
    card_.placeCard(0);
    if (trace_) {
        sensor_.setTrace(trace_.get());
        card_.setTrace(trace_.get());
    }
}

SimBackends::~SimBackends() = default;

std::string SimBackends::backendNotice() const {
    return "SIMULATED SENSOR \xE2\x80\x94 no hardware connected";
}

}  // namespace quenlor
