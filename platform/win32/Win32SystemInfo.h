#pragma once

#include "platform/SystemInfo.h"

namespace quenlor {

// The platform identifier, version and build the system reports of itself.
// RtlGetVersion is asked first: GetVersionExA answers what the program's
// manifest allows rather than the truth on newer systems.
class Win32SystemInfo : public SystemInfo {
  public:
    Win32SystemInfo();

    int platformId() const override { return platformId_; }
    double version() const override { return version_; }
    int build() const override { return build_; }

  private:
    int platformId_ = 2;
    double version_ = 0.0;
    int build_ = 0;
};

}  // namespace quenlor
