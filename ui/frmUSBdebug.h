#pragma once

#include <QDialog>
#include <QPointer>
#include <array>

#include "ui/MainWindowLink.h"
#include "ui/WindowContexts.h"

class QCheckBox;
class QCloseEvent;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QShowEvent;

namespace quenlor {

// The engineer's tool for the adapter card: its SPI settings and hand-typed
// transfers, once or in an endless loop. Created once, then shown and hidden.
class frmUSBdebug : public QDialog {
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
    void ok();
    // Shows the window modally; see RunModal. False when it was only shown
    // again because its earlier showing is still running.
    bool showModal();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void activate();
    void needCard();
    void showReadWords();
    void showDelay();

    UsbDebugContext& ctx_;
    MainWindowLink mainWindow_;
    bool searching_ = false;
    bool running_ = false;

    QGroupBox* frameManual = nullptr;
    QLineEdit* txtNumWords = nullptr;
    std::array<QLineEdit*, 17> txtWriteSpi{};  // 1..16
    std::array<QLineEdit*, 17> txtReadSpi{};   // 1..16
    QPushButton* cmdWriteSpi = nullptr;
    QPushButton* cmdLoop = nullptr;
    QGroupBox* frameSPIsetup = nullptr;
    QGroupBox* frameSpiStatic = nullptr;
    std::array<QCheckBox*, 6> chkStaticBits{};  // 2..5
    QPushButton* cmdReadBits = nullptr;
    QPushButton* cmdSetSpiBits = nullptr;
    QGroupBox* frameSpiChan = nullptr;
    std::array<QRadioButton*, 5> optSpiChan{};  // 1..4
    QLineEdit* txtLoopDelay = nullptr;
    QPushButton* cmdReadDelay = nullptr;
    QPushButton* cmdPolarity = nullptr;
    QGroupBox* frameBufferSetup = nullptr;
    std::array<QRadioButton*, 5> optUsbPort{};
    std::array<QLineEdit*, 4> txtUsbPort{};
    std::array<QLineEdit*, 4> txtDescript0{};
    std::array<QLineEdit*, 4> txtDescript1{};
    std::array<QLineEdit*, 4> txtDriverRev{};
    std::array<QLineEdit*, 4> txtSpeed{};
    QPushButton* cmdFindEzUsb = nullptr;
    QPushButton* cmdExit = nullptr;
};

}  // namespace quenlor
