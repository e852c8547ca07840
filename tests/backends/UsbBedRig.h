#pragma once

#include <algorithm>
#include <chrono>
#include <thread>

#include "core/Delay.h"
#include "core/Settings.h"
#include "platform/fake/FakeClock.h"
#include "platform/fake/RecordingCursor.h"
#include "platform/fake/RecordingMessageBoxes.h"
#include "platform/libusb/LibUsbDriver.h"
#include "platform/libusb/SystemLibUsbCalls.h"
#include "regmap/RegisterTable.h"
#include "sim/SimParallelBoard.h"
#include "sim/SimSensor.h"
#include "sim/usbbed/UsbTestBed.h"
#include "spi/ParallelSpi.h"
#include "spi/RegisterAccess.h"
#include "usb/EzUsbAccess.h"
#include "usb/UsbSpiCard.h"

namespace quenlor::test {

inline void NoSpin(std::int32_t, std::int32_t) {}

// The whole stack on the real libusb, with the cards in a umockdev test bed.
// Each card has a sensor of its own whose clock stands still, so a register
// keeps what a test poked into it. The bed comes first: libusb, started by the
// driver, must end before the bed's devices go.
class UsbBedRig {
  public:
    UsbBedRig() {
        settings.DelayCalibrated = true;
        settings.DelayCount10us = 1;
        settings.Interface = InterfaceUsb;
        table.BuildRegisterTable();
    }

    // Waits until the driver's libusb has seen the bus hold `cards` adapter
    // cards: it learns of devices coming and going on a thread of its own.
    // False after 5 s.
    bool settle(int cards) {
        for (int tries = 0; tries < 500; ++tries) {
            std::vector<UsbDeviceSummary> all;
            calls.devices(all);
            if (std::count_if(all.begin(), all.end(), [](const auto& d) {
                    return d.descriptor.idVendor == kVendorId;
                }) == cards)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    // Reads XACCL_OUT until the card in use fails or `reads` are done.
    int readUntilFailure(int reads) {
        int done = 0;
        while (done < reads && usb.UsbReady()) {
            regs.ReadRegister(XACCL_OUT);
            ++done;
        }
        return done;
    }

    UsbTestBed bed;
    SimSensor sensorA{7, [] { return 0.0; }};
    SimSensor sensorB{9, [] { return 0.0; }};
    Settings settings;
    FakeClock clock;
    RecordingCursor cursor;
    RecordingMessageBoxes messages;
    Delay delay{settings, clock, cursor, &NoSpin};
    SystemLibUsbCalls calls;
    LibUsbDriver driver{calls, messages};
    SimParallelBoard board{sensorA};
    RegisterTable table;
    EzUsbAccess usb{driver, messages};
    UsbSpiCard usbSpi{usb, settings};
    ParallelSpi par{settings, board, delay};
    RegisterAccess regs{settings, table, usbSpi, par, delay};
};

}  // namespace quenlor::test
