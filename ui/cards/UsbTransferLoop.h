#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>

#include "acquisition/AcquisitionEngine.h"
#include "usb/EzUsbAccess.h"
#include "usb/UsbSpiCard.h"

namespace quenlor {

// The debug window's endless transfer loop, run on the acquisition worker in
// plain C++: the typed words again and again, until the window stops it or
// the card stops answering. The window shows at its own pace the words the
// last transfer read, from a copy the loop keeps under a lock.
class UsbTransferLoop {
  public:
    using Words = std::array<std::int32_t, 17>;  // 1..16

    // `cardLost` runs on the owner's thread, the worker waiting, when a
    // transfer leaves the card unusable; the loop ends after it.
    UsbTransferLoop(EzUsbAccess& usb, UsbSpiCard& spi, AcquisitionEngine& engine,
                    std::function<void()> cardLost);

    // Worker: the loop; yields to the owner's bus turns after every transfer.
    void Run();
    // Owner: ends the loop after its current transfer.
    void Stop() { stop_ = true; }
    // Owner: the words the last transfer read and their count; false before
    // the first or when nothing new came since the last call.
    bool TakeWords(Words& words, int& count);

  private:
    EzUsbAccess& usb_;
    UsbSpiCard& spi_;
    AcquisitionEngine& engine_;
    std::function<void()> cardLost_;
    std::atomic<bool> stop_{false};
    std::mutex wordsMutex_;
    Words words_{};
    int count_ = 0;
    bool fresh_ = false;
};

}  // namespace quenlor
