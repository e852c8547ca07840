#include "app/SimBackends.h"

#include <random>

namespace quenlor {

namespace {

// Simulated seconds per reading of the sensor's clock (once per bus frame).
constexpr double kRepeatableStep = 50e-6;

std::function<double()> RepeatableClock() {
    return [calls = std::uint64_t{0}]() mutable { return kRepeatableStep * double(calls++); };
}

}  // namespace

SimBackends::SimBackends(const std::string& tracePath, std::optional<std::uint32_t> seed,
                         std::uint64_t traceLimitBytes)
    : trace_(tracePath.empty() ? nullptr : std::make_unique<BusTrace>(tracePath, traceLimitBytes)),
      sensor_(seed ? *seed : std::random_device{}(),
              seed ? RepeatableClock() : std::function<double()>{}) {
    card_.placeCard(0);
    if (trace_) {
        sensor_.setTrace(trace_.get());
        card_.setTrace(trace_.get());
    }
}

SimBackends::~SimBackends() = default;

bool SimBackends::holdStill(const std::string& up) {
    const auto gravity = StillBoard::Gravity(up);
    if (gravity)
        sensor_.holdStill(*gravity);
    return gravity.has_value();
}

std::string SimBackends::backendNotice() const {
    return "SIMULATED SENSOR \xE2\x80\x94 no hardware connected";
}

}  // namespace quenlor
