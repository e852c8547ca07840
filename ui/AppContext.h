#pragma once

#include <string>

#include "core/Delay.h"
#include "core/Settings.h"
#include "platform/AppDirectory.h"
#include "platform/Clock.h"
#include "platform/Cursor.h"
#include "platform/IoPermission.h"
#include "platform/LocaleInfo.h"
#include "platform/MessageBoxes.h"
#include "platform/SystemInfo.h"
#include "portio/IoDriverInstaller.h"
#include "regmap/RegisterTable.h"
#include "spi/ParallelSpi.h"
#include "spi/RegisterAccess.h"
#include "usb/EzUsbAccess.h"
#include "usb/UsbSpiCard.h"

namespace quenlor {

// Everything the windows share, created once at start-up (or fresh by a test)
// and handed to every window by reference.
struct AppContext {
    Settings& settings;
    Delay& delay;
    RegisterTable& registerTable;
    EzUsbAccess& usb;
    UsbSpiCard& usbSpi;
    ParallelSpi& parallel;
    RegisterAccess& registers;
    IoDriverInstaller& ioDriver;
    IoPermission& ioPermission;
    SystemInfo& systemInfo;
    MessageBoxes& messages;
    LocaleInfo& locale;
    Clock& clock;
    AppDirectory& appDir;
    Cursor& cursor;
    // The back-ends' own notice (the simulator says it is one); the main
    // window shows it when non-empty.
    std::string backendNotice;
};

}  // namespace quenlor
