#pragma once

#include "platform/AppDirectory.h"

namespace quenlor {

// The executable's folder.
class QtAppDirectory : public AppDirectory {
  public:
    std::filesystem::path path() const override;
};

}  // namespace quenlor
