#pragma once

#include <cstdint>

namespace quenlor {

// Byte-wide I/O port access, as the port-I/O library offers it.
class PortIo {
  public:
    virtual ~PortIo() = default;
    virtual void vbOut(std::int16_t port, std::int16_t value) = 0;
    virtual std::int16_t vbInp(std::int16_t port) = 0;
};

}  // namespace quenlor
