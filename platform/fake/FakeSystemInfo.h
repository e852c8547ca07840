#pragma once

#include "platform/SystemInfo.h"

namespace quenlor {

class FakeSystemInfo : public SystemInfo {
  public:
    int platform = 2;
    double ver = 5.1;
    int buildNumber = 2600;

    int platformId() const override { return platform; }
    double version() const override { return ver; }
    int build() const override { return buildNumber; }
};

}  // namespace quenlor
