#pragma once

namespace quenlor {

// What the operating system says of itself, for the Win95/98/NT/XP classification.
class SystemInfo {
  public:
    virtual ~SystemInfo() = default;
    // 1 for the Windows 95/98 family, 2 for the NT family.
    virtual int platformId() const = 0;
    // Major.minor as a real number, 5.1 for XP.
    virtual double version() const = 0;
    virtual int build() const = 0;
};

}  // namespace quenlor
