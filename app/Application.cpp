#include "app/Application.h"

#include <QCoreApplication>

#include "core/SettingsFile.h"
#include "ui/main/frm1.h"
#include "ui/main/frmMsg.h"

namespace quenlor {

Application::Application(Backends& backends, const StackSeams& seams, LocaleInfo& locale)
    : stack_(backends, seams), ctx_(MakeWindowContexts(stack_, locale)) {}

Application::~Application() = default;

void Application::Main(std::optional<std::int16_t> interface) {
    message_ = std::make_unique<frmMsg>();
    message_->show();
    message_->txtMsg().setPlainText(QStringLiteral(
        "\r\n LOADING...\r\n\r\n Setting up Delay function.\r\n\r\n 3 second trial delay."));
    message_->activateWindow();
    message_->setFocus();
    // Paint the message before the calibration blocks the thread.
    QCoreApplication::processEvents();

    Settings& settings = stack_.settings();
    settings.DelayCalibrated = false;
    stack_.delay().CalibrateDelay();

    stack_.ApplyStartValues();
    LoadSettings(settings, stack_.appDir().settingsSource(kSettingsFileName));
    if (interface)
        settings.Interface = *interface;

    message_->txtMsg().setPlainText(QStringLiteral(" "));
    message_->hide();

    main_ = std::make_unique<frm1>(ctx_);
    main_->Form_Load();
    if (!main_->closing())
        main_->show();
}

}  // namespace quenlor
