// The cost of one register-read transfer (two words) through the card
// commands and driver access, with the simulated card behind the driver seam.
// Every transfer opens the card's device, reads the pipe table for each bulk
// request and closes the device again, as the program does. The counter
// "ratio_to_5us" is the time of one transfer over the 5 microsecond budget;
// below 1 is within it.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>

#include "core/Settings.h"
#include "platform/fake/RecordingMessageBoxes.h"
#include "sim/SimAdapterCard.h"
#include "sim/SimSensor.h"
#include "usb/EzUsbAccess.h"
#include "usb/UsbSpiCard.h"

namespace quenlor {
namespace {

constexpr double kBudgetSeconds = 5e-6;

// A selected card at "Ezusb-0" over a sensor running on real time.
struct UsbStack {
    SimSensor sensor;
    SimAdapterCard card{sensor};
    RecordingMessageBoxes boxes;
    Settings settings;
    EzUsbAccess usb{card, boxes};
    UsbSpiCard spi{usb, settings};

    UsbStack() {
        card.placeCard(0);
        usb.FindUsbBuffers();
    }
};

void BM_UsbSpiTransferTwoWords(benchmark::State& state) {
    UsbStack stack;
    if (!stack.usb.UsbReady()) {
        state.SkipWithError("no simulated card selected");
        return;
    }
    constexpr std::int32_t kReadXAccl = 0x0400;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        stack.spi.UsbWriteWords[1] = kReadXAccl;
        stack.spi.UsbWriteWords[2] = kReadXAccl;
        stack.settings.UsbSpiChannel = 1;
        std::uint8_t count = 2;
        stack.spi.UsbSpiTransfer(count);
        benchmark::DoNotOptimize(stack.spi.UsbReadWords[2]);
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    // A failed transfer returns early and would look cheap.
    if (!stack.usb.UsbReady() || !stack.boxes.boxes.empty()) {
        state.SkipWithError("a transfer failed");
        return;
    }
    const double perTransfer = elapsed.count() / static_cast<double>(state.iterations());
    state.counters["ratio_to_5us"] = perTransfer / kBudgetSeconds;
}

BENCHMARK(BM_UsbSpiTransferTwoWords)->UseRealTime()->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace quenlor

BENCHMARK_MAIN();
