#pragma once

#include <filesystem>
#include <string>

namespace quenlor {

// The system's file dialogs. An empty path means the user cancelled. Tests
// answer them instead of a user.
class FileDialogs {
  public:
    virtual ~FileDialogs() = default;
    // `filter` as "Snapshot files (*.txt)"; `folder` is where the dialog opens.
    virtual std::filesystem::path openFileName(const std::string& title,
                                               const std::filesystem::path& folder,
                                               const std::string& filter) = 0;
    virtual std::filesystem::path saveFileName(const std::string& title,
                                               const std::filesystem::path& folder,
                                               const std::string& filter) = 0;
};

}  // namespace quenlor
