#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/IoPermission.h"
#include "platform/MessageBoxes.h"
#include "platform/PortIo.h"
#include "platform/linux/PpdevCalls.h"

namespace quenlor {

// The parallel port through the kernel's ppdev driver. giveio(address) opens and
// claims, for this process alone, the /dev/parportN whose base address is
// `address`; from then on a write
// to that address sets the data register and a read of address + 1 gives the
// status register. Other addresses are not ports of this device.
//
// Without access (no such port, no permission, claimed elsewhere) the problem is
// told once, and port access has no effect: writes are dropped and reads give
// 0xFF, what an unconnected port bus reads.
class PpdevPort : public PortIo, public IoPermission {
  public:
    static constexpr std::int16_t kNoAccess = 0xFF;

    explicit PpdevPort(MessageBoxes& messages);
    PpdevPort(MessageBoxes& messages, PpdevCalls& calls);
    ~PpdevPort() override;
    PpdevPort(const PpdevPort&) = delete;
    PpdevPort& operator=(const PpdevPort&) = delete;

    void giveio(std::int16_t portAddress) override;
    void vbOut(std::int16_t port, std::int16_t value) override;
    std::int16_t vbInp(std::int16_t port) override;
    bool reaches(std::int16_t baseAddress) override {
        return fd_ >= 0 && base_ == static_cast<std::uint16_t>(baseAddress);
    }

    // The claimed device ("/dev/parport0"), empty without access.
    const std::string& device() const { return device_; }

  private:
    std::string findDevice(std::uint16_t baseAddress);
    std::string openFailure(const std::string& device, int error);
    void report(const std::string& text);
    void closePort();

    std::unique_ptr<PpdevCalls> ownCalls_;
    MessageBoxes& messages_;
    PpdevCalls& calls_;
    int fd_ = -1;
    std::uint16_t base_ = 0;
    std::string device_;
    bool reported_ = false;
};

}  // namespace quenlor
