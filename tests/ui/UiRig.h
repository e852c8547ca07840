#pragma once

// A complete AppContext for window tests: the real register access, USB and
// parallel-port code over the simulated card, board and sensor, with recording
// fakes for message boxes, cursor, clock, locale and system information, and a
// temporary program directory. Busy-waits take no time; the sensor's clock
// advances a fixed step on every reading, so runs are repeatable.

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <filesystem>

#include "core/Delay.h"
#include "core/Settings.h"
#include "platform/fake/FakeClock.h"
#include "platform/fake/FakeLocaleInfo.h"
#include "platform/fake/FakeSystemInfo.h"
#include "platform/fake/FixedAppDirectory.h"
#include "platform/fake/RecordingCursor.h"
#include "platform/fake/RecordingMessageBoxes.h"
#include "portio/IoDriverInstaller.h"
#include "regmap/RegisterTable.h"
#include "sim/SimAdapterCard.h"
#include "sim/SimParallelBoard.h"
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

class UiRig {
  public:
    struct Setup {
        std::int16_t interface = InterfaceUsb;
        // A simulated card at "Ezusb-0".
        bool card = true;
        // Register table built and the card found and selected, as after the
        // main window's load; false leaves that to the code under test.
        bool ready = true;
        // The busy-wait; by default waits take no time.
        SpinFunction spin = &UiRig::NoSpin;
    };

    UiRig() : UiRig(Setup{}) {}
    explicit UiRig(Setup setup) : spin_(setup.spin) {
        settings_.Interface = setup.interface;
        settings_.PortAddress = 888;
        if (setup.card)
            card_.placeCard(0);
        if (setup.ready) {
            table_.BuildRegisterTable();
            usb_.FindUsbBuffers();
            messages_.clear();
        }
    }

    AppContext& ctx() { return ctx_; }
    Settings& settings() { return settings_; }
    SimSensor& sensor() { return sensor_; }
    SimAdapterCard& card() { return card_; }
    SimParallelBoard& board() { return board_; }
    RecordingMessageBoxes& messages() { return messages_; }
    FakeLocaleInfo& locale() { return locale_; }
    FakeClock& clock() { return clock_; }
    FakeSystemInfo& systemInfo() { return systemInfo_; }
    RecordingCursor& cursor() { return cursor_; }
    FixedAppDirectory& appDir() { return appDir_; }
    RigRegistry& registry() { return registry_; }
    RigProcessRunner& processes() { return processes_; }
    RigIoPermission& ioPermission() { return ioPermission_; }
    RegisterAccess& registers() { return registers_; }
    EzUsbAccess& usb() { return usb_; }

    // The temporary program directory and the settings file in it.
    std::filesystem::path dir() const { return appDir_.path(); }
    std::filesystem::path settingsFile() const { return dir() / "CommPort.cfg"; }

    // Simulated seconds per sensor clock reading.
    void setSimStep(double seconds) { simStep_ = seconds; }
    double simTime() const { return simTime_; }

    // Closes the modal window that is open `ms` from now (tests only: a modal
    // exec() would otherwise wait for a user).
    static void CloseModalSoon(int ms = 0) {
        QTimer::singleShot(ms, [] {
            if (QWidget* w = QApplication::activeModalWidget())
                w->close();
        });
    }

  private:
    static void NoSpin(std::int32_t, std::int32_t) {}

    QTemporaryDir tempDir_;
    double simTime_ = 0.0;
    double simStep_ = 0.0001;
    SimSensor sensor_{1, [this] { return simTime_ += simStep_; }};
    SimAdapterCard card_{sensor_};
    SimParallelBoard board_{sensor_};
    RigRegistry registry_;
    RigProcessRunner processes_;
    RigIoPermission ioPermission_;
    RecordingMessageBoxes messages_;
    FakeLocaleInfo locale_;
    FakeClock clock_;
    FixedAppDirectory appDir_{tempDir_.path().toStdString()};
    RecordingCursor cursor_;
    FakeSystemInfo systemInfo_;
    Settings settings_;
    SpinFunction spin_;
    Delay delay_{settings_, clock_, cursor_, spin_};
    RegisterTable table_;
    EzUsbAccess usb_{card_, messages_};
    UsbSpiCard usbSpi_{usb_, settings_};
    ParallelSpi parallel_{settings_, board_, delay_};
    RegisterAccess registers_{settings_, table_, usbSpi_, parallel_, delay_};
    IoDriverInstaller ioDriver_{registry_, processes_, appDir_, messages_};
    AppContext ctx_{settings_,  delay_,    table_,        usb_,        usbSpi_,   parallel_,
                    registers_, ioDriver_, ioPermission_, systemInfo_, messages_, locale_,
                    clock_,     appDir_,   cursor_,       {}};
};

}  // namespace quenlor
