#pragma once

#include <filesystem>

namespace quenlor {

// The folder that holds the executable: the settings file, datalog files and
// the driver batch file live there.
class AppDirectory {
  public:
    virtual ~AppDirectory() = default;
    virtual std::filesystem::path path() const = 0;
};

}  // namespace quenlor
