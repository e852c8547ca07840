#pragma once

#include "core/Delay.h"
#include "core/Settings.h"
#include "portio/IoDriverInstaller.h"
#include "regmap/RegisterTable.h"
#include "spi/ParallelSpi.h"
#include "spi/RegisterAccess.h"
#include "usb/EzUsbAccess.h"
#include "usb/UsbSpiCard.h"

namespace quenlor {

// The objects SensorStack builds, by name: what a program or a window that
// takes the whole stack holds (quenlor-cli's run, the main window).
struct StackParts {
    Settings& settings;
    Delay& delay;
    RegisterTable& registerTable;
    EzUsbAccess& usb;
    UsbSpiCard& usbSpi;
    ParallelSpi& parallel;
    RegisterAccess& registers;
    IoDriverInstaller& ioDriver;
};

}  // namespace quenlor
