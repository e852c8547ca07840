#pragma once

// The program's stack for window tests: the real register access, USB and
// parallel-port code over the simulated card, board and sensor, with recording
// fakes for message boxes, cursor, clock, locale and system information, and a
// temporary program directory. Busy-waits take no time; the sensor's clock
// advances a fixed step on every reading, so runs are repeatable.

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>

#include "core/Delay.h"
#include "core/Settings.h"
#include "platform/fake/BorrowedBackends.h"
#include "platform/fake/FakeClock.h"
#include "platform/fake/FakeLocaleInfo.h"
#include "platform/fake/FakeSystemInfo.h"
#include "platform/fake/FaultyUsbDriver.h"
#include "platform/fake/FixedAppDirectory.h"
#include "platform/fake/RecordingCursor.h"
#include "platform/fake/RecordingMessageBoxes.h"
#include "sim/SimAdapterCard.h"
#include "sim/SimParallelBoard.h"
#include "sim/SimSensor.h"
#include "stack/SensorStack.h"
#include "tests/ui/RigIoPermission.h"
#include "tests/ui/RigProcessRunner.h"
#include "tests/ui/RigRegistry.h"
#include "ui/common/WindowContexts.h"

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
        // The busy-wait; by default waits take no time. None: the real pauses.
        SpinFunction spin = &UiRig::NoSpin;
        // The delay's and the windows' clock; by default the fake one.
        Clock* clock = nullptr;
        // The sensor samples on the real clock instead of a fixed step per
        // reading: for tests of what the window shows at a sample rate.
        bool realTime = false;
    };

    UiRig() : UiRig(Setup{}) {}
    explicit UiRig(Setup setup)
        : realTime_(setup.realTime),
          stack_(backends_,
                 {messages_, setup.clock ? *setup.clock : clock_, cursor_, appDir_, setup.spin}),
          ctx_(MakeWindowContexts(stack_, locale_)) {
        Settings& settings = stack_.settings();
        settings.Interface = setup.interface;
        settings.PortAddress = 888;
        if (setup.card)
            card_.placeCard(0);
        if (setup.ready) {
            stack_.registerTable().BuildRegisterTable();
            stack_.usb().FindUsbBuffers();
            messages_.clear();
        }
    }

    // The main window's set, holding the sets of the windows it opens.
    MainWindowContext& ctx() { return ctx_; }
    SensorStack& stack() { return stack_; }
    Settings& settings() { return stack_.settings(); }
    SimSensor& sensor() { return sensor_; }
    SimAdapterCard& card() { return card_; }
    // The card as the program reaches it: faults and records for the tests.
    FaultyUsbDriver& driver() { return driver_; }
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
    RegisterAccess& registers() { return stack_.registers(); }
    EzUsbAccess& usb() { return stack_.usb(); }

    // The temporary program directory and the settings file in it.
    std::filesystem::path dir() const { return appDir_.path(); }
    std::filesystem::path settingsFile() const { return dir() / "CommPort.cfg"; }

    // Simulated seconds per sensor clock reading.
    void setSimStep(double seconds) { simStep_ = seconds; }
    double simTime() const { return simTime_.load(); }

    // Closes the modal window that is open `ms` from now (tests only: a modal
    // exec() would otherwise wait for a user).
    static void CloseModalSoon(int ms = 0) {
        QTimer::singleShot(ms, [] {
            if (QWidget* w = QApplication::activeModalWidget())
                w->close();
        });
    }

    static void NoSpin(std::int32_t, std::int32_t) {}

  private:
    double SensorTime() {
        if (realTime_)
            return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
        return simTime_ += simStep_;
    }

    QTemporaryDir tempDir_;
    // Read by the window's thread, advanced by the worker's register reads.
    std::atomic<double> simTime_ = 0.0;
    std::atomic<double> simStep_ = 0.0001;
    bool realTime_ = false;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    SimSensor sensor_{1, [this] { return SensorTime(); }};
    SimAdapterCard card_{sensor_};
    FaultyUsbDriver driver_{card_};
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
    BorrowedBackends backends_{driver_, board_, ioPermission_, registry_, processes_, systemInfo_};
    SensorStack stack_;
    MainWindowContext ctx_;
};

}  // namespace quenlor
