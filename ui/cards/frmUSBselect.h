#pragma once

#include <QPointer>

#include "ui/cards/CardDialog.h"
#include "ui/cards/UsbCardSelection.h"
#include "ui/common/WindowContexts.h"

class QPushButton;

namespace quenlor {

class frmUSBdebug;

// Lists the adapter cards at the four device names and lets the user pick one
// or none. Created once, then only shown (modally) and hidden.
class frmUSBselect : public CardDialog {
    Q_OBJECT

  public:
    frmUSBselect(UsbSelectContext& ctx, QWidget* mainWindow, QWidget* parent = nullptr);

    // The search action: rescans the device names and selects the card the
    // scan picked (or "None"), sending it the delay and static bits.
    void search();
    // The card choice action for option 0..3, or "None" for 4.
    void choose(int index);
    void showDebug();

    frmUSBdebug* debugWindow() const;

  private:
    void shown() override { search(); }
    void sendSetup();

    UsbSelectContext& ctx_;
    QPointer<frmUSBdebug> debug_;

    UsbCardTable* frameBufferSetup = nullptr;
    UsbCardSelection selection_;
    QPushButton* cmdFindEzUsb = nullptr;
    QPushButton* cmdDebugUsb = nullptr;
    QPushButton* cmdExit = nullptr;
};

}  // namespace quenlor
