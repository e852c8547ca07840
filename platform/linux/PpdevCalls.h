#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quenlor {

// The few system calls the ppdev port back-end makes, so that its choices (which
// device, which message) can be tried without a parallel port. Failures are
// negative errno values.
class PpdevCalls {
  public:
    virtual ~PpdevCalls() = default;

    // Names of the entries of a directory; empty when it cannot be read.
    virtual std::vector<std::string> listDirectory(const std::string& path) = 0;
    virtual std::optional<std::string> readText(const std::string& path) = 0;
    // Name of the group owning a file; empty when unknown.
    virtual std::string owningGroup(const std::string& path) = 0;

    // A file descriptor, or -errno.
    virtual int openDevice(const std::string& path) = 0;
    // PPEXCL: asks that the claim below be refused while anyone else uses the
    // port, instead of waiting for them. 0 or -errno.
    virtual int exclusive(int fd) = 0;
    virtual int claim(int fd) = 0;  // PPCLAIM: 0 or -errno
    virtual void release(int fd) = 0;
    virtual void closeDevice(int fd) = 0;
    virtual int writeData(int fd, std::uint8_t value) = 0;    // PPWDATA
    virtual int readStatus(int fd, std::uint8_t& value) = 0;  // PPRSTATUS
};

}  // namespace quenlor
