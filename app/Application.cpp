#include "app/Application.h"

#include <QCoreApplication>

#include "core/SettingsFile.h"
#include "ui/frm1.h"
#include "ui/frmMsg.h"

namespace quenlor {

Application::Application(Backends& backends, QtMessageBoxes& messages)
    : backends_(backends),
      messages_(messages),
      delay_(settings_, clock_, cursor_),
      usb_(backends.usbDriver(), messages_),
      usbSpi_(usb_, settings_),
      parallel_(settings_, backends.portIo(), delay_),
      registers_(settings_, registerTable_, usbSpi_, parallel_, delay_),
      ioDriver_(backends.registry(), backends.processes(), appDir_, messages_),
      ctx_{settings_,
           delay_,
           registerTable_,
           usb_,
           usbSpi_,
           parallel_,
           registers_,
           ioDriver_,
           backends.ioPermission(),
           backends.systemInfo(),
           messages_,
           locale_,
           clock_,
           appDir_,
           cursor_,
           backends.notice()} {}

Application::~Application() = default;

void Application::Main() {
    message_ = std::make_unique<frmMsg>();
    message_->show();
    message_->txtMsg().setPlainText(QStringLiteral(
        "\r\n LOADING...\r\n\r\n Setting up Delay function.\r\n\r\n 3 second trial delay."));
    message_->activateWindow();
    message_->setFocus();
    // Paint the message before the calibration blocks the thread.
    QCoreApplication::processEvents();

    settings_.DelayCalibrated = false;
    delay_.CalibrateDelay();

    settings_.PortIoReady = false;
    settings_.UsbLoopStop = true;
    settings_.UsbSpiPolarity = true;
    settings_.UsbSpiChannel = 1;
    settings_.UsbSpiBits = 120;
    settings_.UsbSpiDelay = 25;
    settings_.Interface = InterfaceNone;
    LoadSettings(settings_, appDir_.settingsSource(kSettingsFileName));

    message_->txtMsg().setPlainText(QStringLiteral(" "));
    message_->hide();

    main_ = std::make_unique<frm1>(ctx_);
    main_->Form_Load();
    if (!main_->closing())
        main_->show();
}

}  // namespace quenlor
