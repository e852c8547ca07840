#pragma once

#include <cstdint>
#include <string>

#include "platform/ProcessRunner.h"

namespace quenlor {

// Runs a command line through /bin/sh and waits for it without a time limit.
// A process that cannot be started gives 127 (the shell's "not found"), one
// ended by a signal 128 plus the signal number.
class PosixProcessRunner : public ProcessRunner {
  public:
    std::uint32_t runAndWait(const std::string& commandLine) override;
};

}  // namespace quenlor
