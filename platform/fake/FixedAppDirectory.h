#pragma once

#include <filesystem>

#include "platform/AppDirectory.h"

namespace quenlor {

class FixedAppDirectory : public AppDirectory {
  public:
    explicit FixedAppDirectory(std::filesystem::path p) : dir_(std::move(p)) {}
    std::filesystem::path path() const override { return dir_; }

  private:
    std::filesystem::path dir_;
};

}  // namespace quenlor
