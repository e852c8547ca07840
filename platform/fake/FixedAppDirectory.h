#pragma once

#include <filesystem>

#include "platform/AppDirectory.h"

namespace quenlor {

// A writable program folder: everything lives in it.
class FixedAppDirectory : public AppDirectory {
  public:
    explicit FixedAppDirectory(std::filesystem::path p) : dir_(std::move(p)) {}
    std::filesystem::path path() const override { return dir_; }
    std::filesystem::path settingsDirectory() const override { return dir_; }
    std::filesystem::path settingsSource(const std::string&) const override { return dir_; }
    std::filesystem::path dataDirectory() const override { return dir_; }

  private:
    std::filesystem::path dir_;
};

}  // namespace quenlor
