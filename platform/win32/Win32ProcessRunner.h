#pragma once

#include "platform/ProcessRunner.h"

namespace quenlor {

// CreateProcessA with the whole command line (no application name), handles
// inherited, normal priority, default start-up information; waits without a
// time limit. A process that cannot be started gives the system's error code.
class Win32ProcessRunner : public ProcessRunner {
  public:
    std::uint32_t runAndWait(const std::string& commandLine) override;
};

}  // namespace quenlor
