#include "ui/cards/UsbTransferLoop.h"

#include <utility>

namespace quenlor {

UsbTransferLoop::UsbTransferLoop(EzUsbAccess& usb, UsbSpiCard& spi, AcquisitionEngine& engine,
                                 std::function<void()> cardLost)
    : usb_(usb), spi_(spi), engine_(engine), cardLost_(std::move(cardLost)) {}

void UsbTransferLoop::Run() {
    while (!stop_) {
        spi_.UsbSpiTransfer(spi_.UsbWordCount);
        const bool ready = usb_.UsbReady();
        {
            std::lock_guard lock(wordsMutex_);
            words_ = spi_.UsbReadWords;
            count_ = spi_.UsbWordCount;
            fresh_ = true;
        }
        if (!ready) {
            stop_ = true;
            engine_.RunOnOwner(cardLost_);
        }
        engine_.Yield();
    }
}

bool UsbTransferLoop::TakeWords(Words& words, int& count) {
    std::lock_guard lock(wordsMutex_);
    if (!fresh_)
        return false;
    fresh_ = false;
    words = words_;
    count = count_;
    return true;
}

}  // namespace quenlor
