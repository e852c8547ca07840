#pragma once

#include <functional>

#include "acquisition/AcquisitionEngine.h"
#include "core/Settings.h"
#include "platform/LocaleInfo.h"
#include "ui/cards/UsbCardTable.h"
#include "usb/EzUsbAccess.h"

namespace quenlor {

// What both card windows do with their card table: the search of the device
// names and the choice of a card or "None". What follows a choice differs by
// window and comes in as hooks. Both take a bus turn, so that a transfer loop
// running meanwhile stands still.
class UsbCardSelection {
  public:
    struct Hooks {
        // After a card became the selected one: send it the window's setup.
        std::function<void()> cardChosen;
        // Before the card is dropped for "None".
        std::function<void()> noneChosen;
    };

    UsbCardSelection(UsbCardTable& table, EzUsbAccess& usb, Settings& settings, LocaleInfo& locale,
                     AcquisitionEngine& engine, Hooks hooks);

    // Rescans the device names, refills the table and chooses the card the
    // scan picked (or "None").
    void search();
    // Option 0..3 selects that card, 4 ("None") drops it.
    void choose(int index);

  private:
    UsbCardTable& table_;
    EzUsbAccess& usb_;
    Settings& settings_;
    LocaleInfo& locale_;
    AcquisitionEngine& engine_;
    Hooks hooks_;
    bool searching_ = false;
};

}  // namespace quenlor
