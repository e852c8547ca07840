#pragma once

#include <cstdint>
#include <span>

#include "core/Delay.h"
#include "core/Settings.h"
#include "regmap/RegisterTable.h"
#include "spi/ParallelSpi.h"
#include "usb/UsbSpiCard.h"

namespace quenlor {

struct ReadResult {
    std::int32_t Value = 0;
    float Scaled = 0.0f;
};

// Register read and write by table index over the interface in Settings.
class RegisterAccess {
  public:
    RegisterAccess(Settings& settings, RegisterTable& table, UsbSpiCard& usb, ParallelSpi& par,
                   Delay& delay);

    // Left by every read of a readable register; callers take it at once.
    ReadResult RegisterReadResult{};

    void ReadRegister(std::int16_t index);
    void WriteRegister(std::int16_t index, std::int32_t value);
    std::int32_t SpiRead(std::int32_t address);
    void SpiWriteByte(std::int32_t address, std::int32_t data);
    void SpiWriteBytePair(std::int32_t address1, std::int32_t data1, std::int32_t address2,
                          std::int32_t data2);

  private:
    // Sends one or two write frames over the selected interface.
    void SendWriteFrames(std::span<const std::int32_t> words);

    Settings& settings_;
    RegisterTable& table_;
    UsbSpiCard& usb_;
    ParallelSpi& par_;
    Delay& delay_;
};

}  // namespace quenlor
