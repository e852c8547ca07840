#pragma once

#include <memory>

#include "core/Delay.h"
#include "core/Settings.h"
#include "platform/Backends.h"
#include "portio/IoDriverInstaller.h"
#include "regmap/RegisterTable.h"
#include "spi/ParallelSpi.h"
#include "spi/RegisterAccess.h"
#include "ui/AppContext.h"
#include "ui/QtAppDirectory.h"
#include "ui/QtClock.h"
#include "ui/QtCursor.h"
#include "ui/QtLocaleInfo.h"
#include "ui/QtMessageBoxes.h"
#include "usb/EzUsbAccess.h"
#include "usb/UsbSpiCard.h"

namespace quenlor {

class frm1;
class frmMsg;

// The program's state for the whole run, built once over the chosen back-ends.
class Application {
  public:
    // `messages` is the message box seam the back-ends were built with.
    Application(Backends& backends, QtMessageBoxes& messages);
    ~Application();

    // Start-up: the message window, the delay calibration, the settings, then
    // the main window. Returns with the main window shown.
    void Main();

    frm1& mainWindow() { return *main_; }
    AppContext& context() { return ctx_; }

  private:
    Backends& backends_;
    QtMessageBoxes& messages_;
    QtCursor cursor_;
    QtClock clock_;
    QtLocaleInfo locale_;
    QtAppDirectory appDir_;
    Settings settings_;
    Delay delay_;
    RegisterTable registerTable_;
    EzUsbAccess usb_;
    UsbSpiCard usbSpi_;
    ParallelSpi parallel_;
    RegisterAccess registers_;
    IoDriverInstaller ioDriver_;
    AppContext ctx_;
    std::unique_ptr<frmMsg> message_;
    std::unique_ptr<frm1> main_;
};

}  // namespace quenlor
