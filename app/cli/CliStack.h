#pragma once

#include <string>

#include "app/SystemThreadPriority.h"
#include "app/cli/CliOptions.h"
#include "app/cli/ConsoleSeams.h"
#include "platform/Backends.h"
#include "platform/MessageBoxes.h"
#include "stack/SensorStack.h"
#include "stack/StackParts.h"

namespace quenlor {

// The stack a run of quenlor-cli owns, with the machine's way of raising its
// worker's thread; a base of CliStack, so that it is built before the parts
// that name its objects.
struct OwnedSensorStack {
    OwnedSensorStack(Backends& backends, const StackSeams& seams);
    SystemThreadPriority threadPriority;
    SensorStack stack;
};

// The objects of one run of quenlor-cli over the chosen back-ends, by the
// names of StackParts, and the preparation of the interface the main window
// would make at its start.
class CliStack : public OwnedSensorStack, public StackParts {
  public:
    CliStack(Backends& chosen, MessageBoxes& boxes, ConsoleSeams& console);

    // Chooses the interface (options first, else CommPort.cfg, else USB on the
    // simulator) and prepares it. kExitOk, or the exit status of the failure
    // after its line on standard error.
    int Open(const CliOptions& options);

    Backends& backends;
    MessageBoxes& messages;
    ConsoleSeams& seams;

  private:
    int OpenUsb(const CliOptions& options);
    void OpenParallel();
};

}  // namespace quenlor
