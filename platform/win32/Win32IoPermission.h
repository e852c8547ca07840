#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/IoPermission.h"
#include "platform/MessageBoxes.h"

namespace quenlor {

class Win32Library;

// Calls giveio of "giveio.dll", which grants the process port access; its
// result is not looked at. A library that cannot be loaded is told once.
class Win32IoPermission : public IoPermission {
  public:
    explicit Win32IoPermission(MessageBoxes& messages, std::string library = "giveio.dll");
    ~Win32IoPermission() override;
    Win32IoPermission(const Win32IoPermission&) = delete;
    Win32IoPermission& operator=(const Win32IoPermission&) = delete;

    // The address is the parallel port's; giveio opens every port at once.
    void giveio(std::int16_t portAddress) override;

  private:
    MessageBoxes& messages_;
    std::string name_;
    bool reported_ = false;
    std::unique_ptr<Win32Library> library_;
};

}  // namespace quenlor
