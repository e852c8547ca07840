#pragma once

#include <cstdint>

namespace quenlor {

// The registry key of the Windows driver service ("giveio") that grants the
// access; the driver installation reads and sets its "Start" value.
inline constexpr const char* kGiveioServiceKey = "SYSTEM\\CurrentControlSet\\Services\\giveio";

// Grants this process access to the parallel port at `portAddress` (on Windows
// the outside function giveio; on Linux the ppdev device is opened and claimed).
// A back-end that cannot grant access reports it through its own message.
class IoPermission {
  public:
    virtual ~IoPermission() = default;
    virtual void giveio(std::int16_t portAddress) = 0;
};

}  // namespace quenlor
