#pragma once

#include <string>

#include "platform/SystemInfo.h"

namespace quenlor {

// Linux presents itself as the NT family with the kernel's release as its
// version, so the main window's classification applies unchanged ("6.1.0" is
// version 6.1, build 0).
class LinuxSystemInfo : public SystemInfo {
  public:
    // Reads the running kernel's release.
    LinuxSystemInfo();
    // From a release text such as "6.1.0-18-amd64".
    explicit LinuxSystemInfo(const std::string& kernelRelease);

    int platformId() const override { return 2; }
    double version() const override { return version_; }
    int build() const override { return build_; }

  private:
    double version_ = 0.0;
    int build_ = 0;
};

}  // namespace quenlor
