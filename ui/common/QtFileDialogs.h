#pragma once

#include "platform/FileDialogs.h"

namespace quenlor {

// QFileDialog's static dialogs, parented to the active window.
class QtFileDialogs : public FileDialogs {
  public:
    std::filesystem::path openFileName(const std::string& title,
                                       const std::filesystem::path& folder,
                                       const std::string& filter) override;
    std::filesystem::path saveFileName(const std::string& title,
                                       const std::filesystem::path& folder,
                                       const std::string& filter) override;
};

}  // namespace quenlor
