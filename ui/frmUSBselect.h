#pragma once

#include <QDialog>
#include <QPointer>

#include "ui/MainWindowLink.h"
#include "ui/UsbCardSelection.h"
#include "ui/WindowContexts.h"

class QCloseEvent;
class QPushButton;
class QShowEvent;

namespace quenlor {

class frmUSBdebug;

// Lists the adapter cards at the four device names and lets the user pick one
// or none. Created once, then only shown (modally) and hidden.
class frmUSBselect : public QDialog {
    Q_OBJECT

  public:
    frmUSBselect(UsbSelectContext& ctx, QWidget* mainWindow, QWidget* parent = nullptr);

    // The search action: rescans the device names and selects the card the
    // scan picked (or "None"), sending it the delay and static bits.
    void search();
    // The card choice action for option 0..3, or "None" for 4.
    void choose(int index);
    // Hides the window; its table keeps its contents.
    void ok();
    void showDebug();
    // Shows the window modally; see RunModal.
    bool showModal();

    frmUSBdebug* debugWindow() const;

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void sendSetup();

    UsbSelectContext& ctx_;
    MainWindowLink mainWindow_;
    QPointer<frmUSBdebug> debug_;
    bool running_ = false;

    UsbCardTable* frameBufferSetup = nullptr;
    UsbCardSelection selection_;
    QPushButton* cmdFindEzUsb = nullptr;
    QPushButton* cmdDebugUsb = nullptr;
    QPushButton* cmdExit = nullptr;
};

}  // namespace quenlor
