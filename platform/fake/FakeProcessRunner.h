#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/ProcessRunner.h"

namespace quenlor {

// Records every command line; `onRun` stands in for what the process does.
class FakeProcessRunner : public ProcessRunner {
  public:
    std::vector<std::string> commands;
    std::function<void(const std::string&)> onRun;
    std::uint32_t exitCode = 0;

    std::uint32_t runAndWait(const std::string& commandLine) override {
        commands.push_back(commandLine);
        if (onRun)
            onRun(commandLine);
        return exitCode;
    }
};

}  // namespace quenlor
