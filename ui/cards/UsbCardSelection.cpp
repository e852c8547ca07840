#include "ui/cards/UsbCardSelection.h"

#include <QRadioButton>
#include <utility>

#include "acquisition/BusTurn.h"

namespace quenlor {

UsbCardSelection::UsbCardSelection(UsbCardTable& table, EzUsbAccess& usb, Settings& settings,
                                   LocaleInfo& locale, AcquisitionEngine& engine, Hooks hooks)
    : table_(table),
      usb_(usb),
      settings_(settings),
      locale_(locale),
      engine_(engine),
      hooks_(std::move(hooks)) {
    QObject::connect(&table_, &UsbCardTable::optionClicked, &table_,
                     [this](int index) { choose(index); });
}

void UsbCardSelection::search() {
    // A search while one runs (its message boxes run events) would scan again
    // inside the scan; one scan at a time.
    if (searching_)
        return;
    searching_ = true;
    BusTurn turn(engine_);
    table_.clearRows();
    usb_.FindUsbBuffers();
    const std::string sep = locale_.decimalSeparator();
    for (int i = 0; i < 4; ++i) {
        // A copy: the choice below may run events.
        const UsbCardRecord card = usb_.UsbCards[static_cast<std::size_t>(i)];
        if (!card.Found)
            continue;
        table_.offerCard(i, card);
        if (usb_.UsbSelectedIndex == i)
            choose(i);
        table_.describeCard(i, card, sep);
    }
    if (usb_.UsbSelectedIndex == -1)
        choose(4);
    searching_ = false;
}

void UsbCardSelection::choose(int index) {
    if (index < 0 || index > 4)
        return;
    BusTurn turn(engine_);
    table_.option(index).setChecked(true);
    if (index == 4) {
        if (hooks_.noneChosen)
            hooks_.noneChosen();
        usb_.SetUsbReady(false);
        settings_.UsbLoopStop = true;
        return;
    }
    usb_.UsbSelectedCard = usb_.UsbCards[static_cast<std::size_t>(index)];
    if (hooks_.cardChosen)
        hooks_.cardChosen();
}

}  // namespace quenlor
