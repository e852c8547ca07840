#pragma once

#include <cstdint>

namespace quenlor {

// Byte-wide I/O port access, as the port-I/O library offers it.
class PortIo {
  public:
    virtual ~PortIo() = default;
    virtual void vbOut(std::int16_t port, std::int16_t value) = 0;
    virtual std::int16_t vbInp(std::int16_t port) = 0;
    // False when access to the port at this base address has no effect (no
    // such port, no permission, no library): writes are then dropped and
    // reads give nothing the port put there.
    virtual bool reaches(std::int16_t /*baseAddress*/) { return true; }
};

}  // namespace quenlor
