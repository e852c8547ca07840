#pragma once

#include <string>

#include "acquisition/AcquisitionEngine.h"
#include "acquisition/MessageRelay.h"
#include "core/Delay.h"
#include "core/Settings.h"
#include "platform/AppDirectory.h"
#include "platform/Backends.h"
#include "platform/Clock.h"
#include "platform/Cursor.h"
#include "platform/MessageBoxes.h"
#include "platform/ThreadPriority.h"
#include "portio/IoDriverInstaller.h"
#include "regmap/RegisterTable.h"
#include "spi/ParallelSpi.h"
#include "spi/RegisterAccess.h"
#include "stack/StackParts.h"
#include "usb/EzUsbAccess.h"
#include "usb/UsbSpiCard.h"

namespace quenlor {

// The seams the stack itself calls, besides the back-ends.
struct StackSeams {
    MessageBoxes& messages;
    Clock& clock;
    Cursor& cursor;
    AppDirectory& appDir;
    // The delay's busy-wait. None: the real loop, and a pause ends at its
    // deadline on the monotonic clock. A given loop (tests pass one that takes
    // no time, and count its calls) runs the pause's calibrated steps instead.
    SpinFunction spin{};
    // How the read loop's worker raises its priority. None: it keeps the
    // priority it was started with.
    ThreadPriority* priority = nullptr;
};

// The program's state for a whole run, wired once over the chosen back-ends:
// settings, delay, register table, USB card state and transfer buffers,
// parallel-port SPI, register access and the I/O-driver installer, and the
// worker thread that reads while the windows paint. The
// program, the tests and the benchmarks all build it here, so the graph has
// one shape everywhere. Everything it refers to must outlive it.
class SensorStack {
  public:
    SensorStack(Backends& backends, const StackSeams& seams);
    SensorStack(const SensorStack&) = delete;
    SensorStack& operator=(const SensorStack&) = delete;

    // Puts back the settings that start afresh every run (all but the
    // delay calibration and the fields persisted in CommPort.cfg).
    void ApplyStartValues();

    Settings& settings() { return settings_; }
    Delay& delay() { return delay_; }
    RegisterTable& registerTable() { return registerTable_; }
    EzUsbAccess& usb() { return usb_; }
    UsbSpiCard& usbSpi() { return usbSpi_; }
    ParallelSpi& parallel() { return parallel_; }
    RegisterAccess& registers() { return registers_; }
    IoDriverInstaller& ioDriver() { return ioDriver_; }
    // All of the above at once.
    StackParts parts() {
        return {settings_, delay_, registerTable_, usb_, usbSpi_, parallel_, registers_, ioDriver_};
    }

    Backends& backends() { return backends_; }
    // The seam's boxes, opened on the constructing thread whichever thread asks.
    MessageBoxes& messages() { return relay_; }
    // The worker that runs the read loop; the constructing thread owns it.
    AcquisitionEngine& engine() { return engine_; }
    Clock& clock() { return seams_.clock; }
    Cursor& cursor() { return seams_.cursor; }
    AppDirectory& appDir() { return seams_.appDir; }
    std::string backendNotice() const { return backends_.backendNotice(); }

  private:
    Backends& backends_;
    StackSeams seams_;
    // Before everything that may show a box, and destroyed after it.
    AcquisitionEngine engine_;
    MessageRelay relay_{seams_.messages, engine_};
    Settings settings_;
    Delay delay_;
    RegisterTable registerTable_;
    EzUsbAccess usb_;
    UsbSpiCard usbSpi_;
    ParallelSpi parallel_;
    RegisterAccess registers_;
    IoDriverInstaller ioDriver_;
};

}  // namespace quenlor
