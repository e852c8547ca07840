// Register reads through the whole stack on the real libusb, with the card
// emulated below it by umockdev (the USB test bed). The bed answers every URB
// at once and has no USB timing, so the figures are the software's own cost
// per read: the program, libusb, and umockdev's emulation of the usbfs node
// (each request on the node is a round trip to the bed's thread). Counters
// per read: URBs on the card (bulk and control), control transfers, reaps
// (libusb collecting finished URBs, empty polls included) and other requests
// on the node (claims, releases, capability queries).
//
// Runs itself again under umockdev's preload library when started without it.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "core/Delay.h"
#include "core/Settings.h"
#include "platform/fake/FakeClock.h"
#include "platform/fake/RecordingCursor.h"
#include "platform/fake/RecordingMessageBoxes.h"
#include "platform/libusb/LibUsbDriver.h"
#include "regmap/RegisterTable.h"
#include "sim/SimParallelBoard.h"
#include "sim/SimSensor.h"
#include "sim/usbbed/UsbTestBed.h"
#include "spi/ParallelSpi.h"
#include "spi/RegisterAccess.h"
#include "usb/EzUsbAccess.h"
#include "usb/UsbSpiCard.h"

namespace quenlor {
namespace {

void NoSpin(std::int32_t, std::int32_t) {}

// One card at bus 1, address 5, selected; the pause after each access costs nothing.
struct BedStack {
    UsbTestBed bed;
    SimSensor sensor{7, [] { return 0.0; }};
    Settings settings;
    FakeClock clock;
    RecordingCursor cursor;
    RecordingMessageBoxes messages;
    Delay delay{settings, clock, cursor, &NoSpin};
    LibUsbDriver driver{messages};
    SimParallelBoard board{sensor};
    RegisterTable table;
    EzUsbAccess usb{driver, messages};
    UsbSpiCard usbSpi{usb, settings};
    ParallelSpi par{settings, board, delay};
    RegisterAccess regs{settings, table, usbSpi, par, delay};

    BedStack() {
        settings.DelayCalibrated = true;
        settings.DelayCount10us = 1;
        settings.Interface = InterfaceUsb;
        table.BuildRegisterTable();
        bed.plug(1, 5, sensor);
        usb.FindUsbBuffers();
    }
};

void BM_RegisterReadThroughLibusb(benchmark::State& state) {
    BedStack stack;
    if (!stack.usb.UsbReady()) {
        state.SkipWithError("the emulated card was not selected");
        return;
    }
    stack.regs.ReadRegister(XACCL_OUT);
    stack.bed.resetCounts(1, 5);
    for (auto _ : state) {
        stack.regs.ReadRegister(XACCL_OUT);
        benchmark::DoNotOptimize(stack.regs.RegisterReadResult.Value);
    }
    if (!stack.usb.UsbReady()) {
        state.SkipWithError("a read failed");
        return;
    }
    const EmulatedCard::Counts c = stack.bed.counts(1, 5);
    const double reads = static_cast<double>(state.iterations());
    state.SetItemsProcessed(state.iterations());
    state.counters["urbs_per_read"] = (c.bulkOut + c.bulkIn + c.control) / reads;
    state.counters["control_per_read"] = c.control / reads;
    state.counters["reaps_per_read"] = c.reaps / reads;
    state.counters["other_requests_per_read"] = c.others / reads;
}
BENCHMARK(BM_RegisterReadThroughLibusb)->Unit(benchmark::kMicrosecond)->UseRealTime();
// Fixed counts, for counting system calls from outside (strace -c) by difference.
BENCHMARK(BM_RegisterReadThroughLibusb)->Iterations(1000);
BENCHMARK(BM_RegisterReadThroughLibusb)->Iterations(3000);

}  // namespace
}  // namespace quenlor

int main(int argc, char** argv) {
    if (!quenlor::UsbTestBed::available()) {
        // The bed needs umockdev's preload library in the process from its start.
        const char* before = std::getenv("LD_PRELOAD");
        std::string preload = "libumockdev-preload.so.0";
        if (before != nullptr && *before != '\0')
            preload = std::string(before) + ":" + preload;
        setenv("LD_PRELOAD", preload.c_str(), 1);
        execv("/proc/self/exe", argv);
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
