#pragma once

#include <string>
#include <vector>

#include "platform/ProcessRunner.h"

namespace quenlor {

// Records the command lines instead of starting anything.
class RigProcessRunner : public ProcessRunner {
  public:
    std::vector<std::string> commands;

    std::uint32_t runAndWait(const std::string& commandLine) override {
        commands.push_back(commandLine);
        return 0;
    }
};

}  // namespace quenlor
