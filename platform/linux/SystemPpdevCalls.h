#pragma once

#include "platform/linux/PpdevCalls.h"

namespace quenlor {

// The ppdev calls, forwarded to the kernel one to one.
class SystemPpdevCalls : public PpdevCalls {
  public:
    std::vector<std::string> listDirectory(const std::string& path) override;
    std::optional<std::string> readText(const std::string& path) override;
    std::string owningGroup(const std::string& path) override;
    int openDevice(const std::string& path) override;
    int exclusive(int fd) override;
    int claim(int fd) override;
    void release(int fd) override;
    void closeDevice(int fd) override;
    int writeData(int fd, std::uint8_t value) override;
    int readStatus(int fd, std::uint8_t& value) override;
};

}  // namespace quenlor
