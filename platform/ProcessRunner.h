#pragma once

#include <cstdint>
#include <string>

namespace quenlor {

// Starts a command line as a new process and waits, without a time limit, for it to end.
class ProcessRunner {
  public:
    virtual ~ProcessRunner() = default;
    // Returns the process's exit code; a process that cannot be started gives a
    // non-zero code.
    virtual std::uint32_t runAndWait(const std::string& commandLine) = 0;
};

}  // namespace quenlor
