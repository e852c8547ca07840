#pragma once

#include <string>

#include "core/Delay.h"
#include "core/Settings.h"
#include "platform/AppDirectory.h"
#include "platform/Clock.h"
#include "platform/IoPermission.h"
#include "platform/LocaleInfo.h"
#include "platform/MessageBoxes.h"
#include "platform/SystemInfo.h"
#include "portio/IoDriverInstaller.h"
#include "regmap/RegisterTable.h"
#include "spi/ParallelSpi.h"
#include "spi/RegisterAccess.h"
#include "stack/SensorStack.h"
#include "stack/StackParts.h"
#include "usb/EzUsbAccess.h"
#include "usb/UsbSpiCard.h"

namespace quenlor {

// What each window uses, and nothing more. A window that opens another holds
// that window's set and hands it on. All of them refer to the one stack built
// at start-up (or fresh by a test), through MakeWindowContexts.

struct UsbDebugContext {
    Settings& settings;
    EzUsbAccess& usb;
    UsbSpiCard& usbSpi;
    MessageBoxes& messages;
    LocaleInfo& locale;
    // Runs the transfer loop; the window's card actions take turns meanwhile.
    AcquisitionEngine& engine;
};

struct UsbSelectContext {
    Settings& settings;
    EzUsbAccess& usb;
    UsbSpiCard& usbSpi;
    LocaleInfo& locale;
    // The card table's actions take turns with a transfer loop.
    AcquisitionEngine& engine;
    UsbDebugContext debug;
};

struct RegisterWindowContext {
    Delay& delay;
    RegisterTable& registerTable;
    RegisterAccess& registers;
    MessageBoxes& messages;
    LocaleInfo& locale;
    AppDirectory& appDir;
    // What a snapshot's header says: when, over which interface, simulated or not.
    Clock& clock;
    const Settings& settings;
    const EzUsbAccess& usb;
    bool simulated;
};

struct DatalogContext {
    Settings& settings;
    Delay& delay;
    RegisterAccess& registers;
    MessageBoxes& messages;
    LocaleInfo& locale;
    Clock& clock;
    AppDirectory& appDir;
    // Runs the datalog run on its worker.
    AcquisitionEngine& engine;
};

// The main window holds the whole stack (StackParts) and what it hands on.
struct MainWindowContext : StackParts {
    IoPermission& ioPermission;
    SystemInfo& systemInfo;
    MessageBoxes& messages;
    LocaleInfo& locale;
    AppDirectory& appDir;
    Clock& clock;
    // Runs the read loop; a handler that uses the bus meanwhile takes a turn.
    AcquisitionEngine& engine;
    // The back-ends' own notice (the simulator says it is one); shown in the
    // status bar when non-empty.
    std::string backendNotice;
    // The windows the main window opens.
    RegisterWindowContext registerWindow;
    DatalogContext datalog;
    UsbSelectContext usbSelect;
};

// The windows' sets over `stack`, whose seams they share; `locale` is the
// windows' own seam.
MainWindowContext MakeWindowContexts(SensorStack& stack, LocaleInfo& locale);

}  // namespace quenlor
