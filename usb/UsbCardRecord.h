#pragma once

#include <cstdint>
#include <string>

namespace quenlor {

// One adapter card seen at one device name.
struct UsbCardRecord {
    std::string DeviceName;
    std::uint8_t UnitNumber = 0;
    bool Found = false;
    std::string BoardType;
    std::string Descriptor0;
    std::string Descriptor1;
    float DriverRev = 0.0f;
    std::string Speed;
};

}  // namespace quenlor
