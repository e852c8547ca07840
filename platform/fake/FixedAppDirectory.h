#pragma once

#include <filesystem>

#include "platform/AppDirectory.h"

namespace quenlor {

// A writable program folder: everything lives in it, unless a test moves the
// datalogs elsewhere, as an installed program does.
class FixedAppDirectory : public AppDirectory {
  public:
    explicit FixedAppDirectory(std::filesystem::path p) : dir_(std::move(p)) {}
    std::filesystem::path path() const override { return dir_; }
    std::filesystem::path settingsDirectory() const override { return dir_; }
    std::filesystem::path settingsSource(const std::string&) const override { return dir_; }
    std::filesystem::path dataDirectory() const override { return data_.empty() ? dir_ : data_; }

    void setDataDirectory(std::filesystem::path p) { data_ = std::move(p); }

  private:
    std::filesystem::path dir_;
    std::filesystem::path data_;
};

}  // namespace quenlor
