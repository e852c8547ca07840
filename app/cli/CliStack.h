#pragma once

#include <string>

#include "app/SystemThreadPriority.h"
#include "app/cli/CliOptions.h"
#include "app/cli/ConsoleSeams.h"
#include "platform/Backends.h"
#include "platform/MessageBoxes.h"
#include "stack/SensorStack.h"

namespace quenlor {

// The objects of one run of quenlor-cli over the chosen back-ends, and the
// preparation of the interface the main window would make at its start.
class CliStack {
  public:
    CliStack(Backends& backends, MessageBoxes& messages, ConsoleSeams& seams);

    // Chooses the interface (options first, else CommPort.cfg, else USB on the
    // simulator) and prepares it. kExitOk, or the exit status of the failure
    // after its line on standard error.
    int Open(const CliOptions& options);

    Backends& backends;
    MessageBoxes& messages;
    ConsoleSeams& seams;
    // How a worker of the stack's engine raises its thread.
    SystemThreadPriority threadPriority;
    // The program's one object stack; the names below are its parts.
    SensorStack stack;
    Settings& settings;
    Delay& delay;
    RegisterTable& registerTable;
    EzUsbAccess& usb;
    UsbSpiCard& usbSpi;
    ParallelSpi& parallel;
    RegisterAccess& registers;
    IoDriverInstaller& ioDriver;

  private:
    int OpenUsb(const CliOptions& options);
    void OpenParallel();
};

}  // namespace quenlor
