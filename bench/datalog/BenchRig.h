#pragma once

// The whole register stack over the simulated card and sensor, with the real
// busy-wait and a steady clock, for timing datalog runs.

#include <QTemporaryDir>

#include <chrono>
#include <cstdint>
#include <filesystem>

#include "core/Delay.h"
#include "core/Settings.h"
#include "platform/PortIo.h"
#include "platform/fake/FakeLocaleInfo.h"
#include "platform/fake/FakeSystemInfo.h"
#include "platform/fake/FixedAppDirectory.h"
#include "platform/fake/RecordingCursor.h"
#include "platform/fake/RecordingMessageBoxes.h"
#include "portio/IoDriverInstaller.h"
#include "regmap/RegisterTable.h"
#include "sim/SimAdapterCard.h"
#include "sim/SimSensor.h"
#include "spi/ParallelSpi.h"
#include "spi/RegisterAccess.h"
#include "tests/ui/RigIoPermission.h"
#include "tests/ui/RigProcessRunner.h"
#include "tests/ui/RigRegistry.h"
#include "ui/AppContext.h"
#include "usb/EzUsbAccess.h"
#include "usb/UsbSpiCard.h"

namespace quenlor {

class SteadyClock : public Clock {
  public:
    float secondsSinceMidnight() override {
        return std::chrono::duration<float>(std::chrono::steady_clock::now() - start_).count();
    }

  private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

// A parallel port with nothing attached; the bench runs over the USB card.
class NullPortIo : public PortIo {
  public:
    void vbOut(std::int16_t, std::int16_t) override {}
    std::int16_t vbInp(std::int16_t) override { return 0xFF; }
};

class BenchRig {
  public:
    BenchRig() {
        settings_.Interface = InterfaceUsb;
        card_.placeCard(0);
        table_.BuildRegisterTable();
        usb_.FindUsbBuffers();
    }

    AppContext& ctx() { return ctx_; }
    Settings& settings() { return settings_; }
    Delay& delay() { return delay_; }
    RecordingMessageBoxes& messages() { return messages_; }
    std::filesystem::path dir() const { return appDir_.path(); }

  private:
    QTemporaryDir tempDir_;
    SimSensor sensor_{1};
    SimAdapterCard card_{sensor_};
    NullPortIo port_;
    RigRegistry registry_;
    RigProcessRunner processes_;
    RigIoPermission ioPermission_;
    RecordingMessageBoxes messages_;
    FakeLocaleInfo locale_;
    SteadyClock clock_;
    FixedAppDirectory appDir_{tempDir_.path().toStdString()};
    RecordingCursor cursor_;
    FakeSystemInfo systemInfo_;
    Settings settings_;
    Delay delay_{settings_, clock_, cursor_};
    RegisterTable table_;
    EzUsbAccess usb_{card_, messages_};
    UsbSpiCard usbSpi_{usb_, settings_};
    ParallelSpi parallel_{settings_, port_, delay_};
    RegisterAccess registers_{settings_, table_, usbSpi_, parallel_, delay_};
    IoDriverInstaller ioDriver_{registry_, processes_, appDir_, messages_};
    AppContext ctx_{settings_,  delay_,    table_,        usb_,        usbSpi_,   parallel_,
                    registers_, ioDriver_, ioPermission_, systemInfo_, messages_, locale_,
                    clock_,     appDir_,   cursor_,       {}};
};

}  // namespace quenlor
