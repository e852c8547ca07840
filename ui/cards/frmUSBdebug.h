#pragma once

#include "ui/cards/CardDialog.h"
#include "ui/cards/UsbCardSelection.h"
#include "ui/cards/UsbManualPanel.h"
#include "ui/cards/UsbSpiPanel.h"
#include "ui/common/WindowContexts.h"

class QPushButton;

namespace quenlor {

// The engineer's tool for the adapter card: its SPI settings and hand-typed
// transfers, once or in an endless loop. Created once, then shown and hidden.
class frmUSBdebug : public CardDialog {
    Q_OBJECT

  public:
    frmUSBdebug(UsbDebugContext& ctx, QWidget* mainWindow, QWidget* parent = nullptr);

    void search();
    // Card choice for option 0..3, or "None" for 4.
    void choose(int index);
    void chooseChannel(int channel);
    void togglePolarity();
    void readBits();
    void setBits();
    void readDelay();
    // The Enter key in the delay box.
    void enterDelay();
    void write();
    // "Loop" starts the endless transfer loop; "Stop" ends it.
    void loop();

  private:
    void shown() override { activate(); }
    void activate();
    void sendSetup();
    void dropSetup();
    void needCard();
    // With no card ready: says so, chooses none and stops a loop; false then.
    bool cardOrStop();
    void showReadWords();
    void showDelay();

    UsbDebugContext& ctx_;

    UsbManualPanel* frameManual = nullptr;
    UsbSpiPanel* frameSPIsetup = nullptr;
    UsbCardTable* frameBufferSetup = nullptr;
    UsbCardSelection selection_;
    QPushButton* cmdFindEzUsb = nullptr;
    QPushButton* cmdExit = nullptr;
};

}  // namespace quenlor
