#pragma once

// The window test rig with the program's own timing put back: the calibrated
// busy-wait and the wall clock, so datalog runs can be timed against the
// pauses they make.

#include <filesystem>

#include "core/Delay.h"
#include "tests/ui/UiRig.h"
#include "ui/common/QtClock.h"
#include "ui/common/WindowContexts.h"

namespace quenlor {

class BenchRig {
  public:
    DatalogContext& ctx() { return rig_.ctx().datalog; }
    Settings& settings() { return rig_.settings(); }
    Delay& delay() { return rig_.stack().delay(); }
    RecordingMessageBoxes& messages() { return rig_.messages(); }
    std::filesystem::path dir() const { return rig_.dir(); }

  private:
    QtClock clock_;
    UiRig rig_{UiRig::Setup{.spin = nullptr, .clock = &clock_}};
};

}  // namespace quenlor
