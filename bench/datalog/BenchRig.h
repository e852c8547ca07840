#pragma once

// The window test rig with the program's own timing put back for the register
// access: the calibrated busy-wait and the wall clock, so datalog runs can be
// timed against the pauses they make.

#include <filesystem>

#include "core/Delay.h"
#include "spi/ParallelSpi.h"
#include "spi/RegisterAccess.h"
#include "tests/ui/UiRig.h"
#include "ui/AppContext.h"
#include "ui/QtClock.h"

namespace quenlor {

class BenchRig {
  public:
    AppContext& ctx() { return ctx_; }
    Settings& settings() { return rig_.settings(); }
    Delay& delay() { return delay_; }
    RecordingMessageBoxes& messages() { return rig_.messages(); }
    std::filesystem::path dir() const { return rig_.dir(); }

  private:
    UiRig rig_;
    QtClock clock_;
    Delay delay_{rig_.settings(), clock_, rig_.cursor()};
    ParallelSpi parallel_{rig_.settings(), rig_.board(), delay_};
    RegisterAccess registers_{rig_.settings(), rig_.ctx().registerTable, rig_.ctx().usbSpi,
                              parallel_, delay_};
    AppContext ctx_{rig_.settings(),
                    delay_,
                    rig_.ctx().registerTable,
                    rig_.ctx().usb,
                    rig_.ctx().usbSpi,
                    parallel_,
                    registers_,
                    rig_.ctx().ioDriver,
                    rig_.ctx().ioPermission,
                    rig_.ctx().systemInfo,
                    rig_.ctx().messages,
                    rig_.ctx().locale,
                    clock_,
                    rig_.ctx().appDir,
                    rig_.ctx().cursor,
                    {}};
};

}  // namespace quenlor
