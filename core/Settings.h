#pragma once

#include <cstdint>

namespace quenlor {

// Values of Settings::Interface.
inline constexpr std::int16_t InterfaceNone = 0;
inline constexpr std::int16_t InterfaceParallel = 1;
inline constexpr std::int16_t InterfaceUsb = 2;

// The process-wide settings record. Only Interface, PortAddress and
// ProductNumber are persisted (CommPort.cfg); the rest start afresh every run.
struct Settings {
    std::int16_t Interface = InterfaceNone;
    std::int16_t PortAddress = 0;
    std::int16_t ProductNumber = 0;
    bool PortIoReady = false;
    bool DelayCalibrated = false;
    std::int32_t DelayCount10us = 1000;
    std::uint8_t UsbSpiChannel = 1;
    std::uint8_t UsbSpiBits = 120;
    std::uint8_t UsbSpiDelay = 25;
    bool UsbSpiPolarity = true;
    bool UsbLoopStop = true;
};

}  // namespace quenlor
