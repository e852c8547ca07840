#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/MessageBoxes.h"
#include "platform/PortIo.h"

namespace quenlor {

class Win32Library;

// Port I/O through vbOut and vbInp of the port-I/O library "win95io.dll",
// loaded at the first access. A library that cannot be loaded is told once;
// then writes are dropped and reads give 0xFF, as from a port without access.
class Win32PortIo : public PortIo {
  public:
    static constexpr std::int16_t kNoAccess = 0xFF;

    explicit Win32PortIo(MessageBoxes& messages, std::string library = "win95io.dll");
    ~Win32PortIo() override;
    Win32PortIo(const Win32PortIo&) = delete;
    Win32PortIo& operator=(const Win32PortIo&) = delete;

    void vbOut(std::int16_t port, std::int16_t value) override;
    std::int16_t vbInp(std::int16_t port) override;
    bool reaches(std::int16_t) override { return ready(); }

  private:
    using OutFunction = void(__stdcall*)(std::int16_t, std::int16_t);
    using InpFunction = std::int16_t(__stdcall*)(std::int16_t);

    bool ready();

    MessageBoxes& messages_;
    std::string name_;
    bool tried_ = false;
    std::unique_ptr<Win32Library> library_;
    OutFunction out_ = nullptr;
    InpFunction inp_ = nullptr;
};

}  // namespace quenlor
