#pragma once

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "core/Delay.h"
#include "core/Settings.h"
#include "platform/fake/BorrowedBackends.h"
#include "platform/fake/FakeClock.h"
#include "platform/fake/FakeProcessRunner.h"
#include "platform/fake/FakeRegistry.h"
#include "platform/fake/FakeSystemInfo.h"
#include "platform/fake/FaultyUsbDriver.h"
#include "platform/fake/FixedAppDirectory.h"
#include "platform/fake/RecordingCursor.h"
#include "platform/fake/RecordingMessageBoxes.h"
#include "sim/BusTrace.h"
#include "sim/SimAdapterCard.h"
#include "sim/SimParallelBoard.h"
#include "sim/SimSensor.h"
#include "stack/SensorStack.h"

namespace quenlor::test {

// Pauses taken through Delay; the spin function cannot carry state of its own.
inline int& PauseSteps() {
    static int steps = 0;
    return steps;
}
inline void CountingSpin(std::int32_t steps, std::int32_t) {
    PauseSteps() += steps;
}
// One DelayMs(0.1) is ten 10-microsecond steps.
inline int Pauses() {
    return PauseSteps() / 10;
}

// The whole stack over one simulated sensor whose clock stands still, so its
// registers keep what was last sampled or poked: the card at "Ezusb-0" and the
// parallel-port board at 0x378. Every SPI frame goes to the trace.
class SpiRig {
  public:
    SpiRig() {
        PauseSteps() = 0;
        settings.DelayCalibrated = true;
        settings.DelayCount10us = 1;
        settings.PortAddress = 0x378;
        sensor.setTrace(&trace);
        card.placeCard(0);
        driver.setRecording(true);
        table.BuildRegisterTable();
        usb.FindUsbBuffers();
        // Take the sensor's first sample now, so pokes made by a test stay.
        sensor.peekWord(0);
        settings.Interface = InterfaceUsb;
        regs.ReadRegister(FLASH_CNT);
        settings.Interface = InterfaceNone;
        clearLog();
    }

    void clearLog() {
        log.str("");
        PauseSteps() = 0;
    }

    // Words the sensor saw on a channel (0: the parallel board), in order,
    // dropped frames included.
    std::vector<std::uint16_t> sent(int channel) const {
        std::vector<std::uint16_t> words;
        std::istringstream in(log.str());
        const std::string tag = "ch" + std::to_string(channel) + " sent ";
        for (std::string line; std::getline(in, line);) {
            const auto at = line.find(tag);
            if (at != std::string::npos)
                words.push_back(static_cast<std::uint16_t>(
                    std::stoul(line.substr(at + tag.size(), 4), nullptr, 16)));
        }
        return words;
    }
    std::string text() const { return log.str(); }

    std::ostringstream log;
    BusTrace trace{log};
    FakeClock clock;
    RecordingCursor cursor;
    RecordingMessageBoxes messages;
    FixedAppDirectory appDir{"."};
    SimSensor sensor{7, [] { return 0.0; }};
    SimAdapterCard card{sensor};
    FaultyUsbDriver driver{card};
    SimParallelBoard board{sensor};
    FakeRegistry registry;
    FakeProcessRunner processes;
    FakeSystemInfo systemInfo;
    BorrowedBackends backends{driver, board, board, registry, processes, systemInfo};
    SensorStack stack{backends, {messages, clock, cursor, appDir, &CountingSpin}};
    Settings& settings = stack.settings();
    Delay& delay = stack.delay();
    RegisterTable& table = stack.registerTable();
    EzUsbAccess& usb = stack.usb();
    UsbSpiCard& usbSpi = stack.usbSpi();
    ParallelSpi& par = stack.parallel();
    RegisterAccess& regs = stack.registers();
};

}  // namespace quenlor::test
