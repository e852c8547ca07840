#pragma once

#include <cstdint>
#include <vector>

#include "platform/IoPermission.h"

namespace quenlor {

// Records every port-access grant.
class RigIoPermission : public IoPermission {
  public:
    std::vector<std::int16_t> grants;

    void giveio(std::int16_t portAddress) override { grants.push_back(portAddress); }
};

}  // namespace quenlor
