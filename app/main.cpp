#include <QApplication>
#include <QTimer>
#include <iostream>
#include <memory>
#include <optional>

#include "app/Application.h"
#include "app/Options.h"
#include "app/ScreenshotHook.h"
#include "app/SystemThreadPriority.h"
#include "app/UnattendedMessageBoxes.h"
#include "app/front/ChosenBackends.h"
#include "core/Version.h"
#include "platform/console/WindowsConsole.h"
#include "ui/common/QtAppDirectory.h"
#include "ui/common/QtClock.h"
#include "ui/common/QtCursor.h"
#include "ui/common/QtLocaleInfo.h"
#include "ui/common/QtMessageBoxes.h"
#include "ui/main/frm1.h"

namespace {

// A text for a user who has no console to read it on, before the program's
// own windows exist. Qt is started without the command line, which may be
// the very thing at fault.
void showBeforeStart(char* program, const std::string& text, quenlor::MessageIcon icon) {
    int argc = 1;
    char* argv[] = {program, nullptr};
    QApplication app(argc, argv);
    quenlor::QtMessageBoxes messages;
    messages.show(text, quenlor::kAppTitle, icon);
}

// A start-up failure: on the console, and in a box when there is none.
int failStart(const quenlor::ConsoleStreams& console, quenlor::QtMessageBoxes& messages,
              const std::string& text) {
    std::cerr << text << "\n" << std::flush;
    if (!console.error)
        messages.show(text, quenlor::kAppTitle, quenlor::MessageIcon::Critical);
    return 1;
}

// Saves the simulated sensor for the next run when asked to; 1 when that fails.
int keepSimState(quenlor::ChosenBackends& chosen, const quenlor::ConsoleStreams& console,
                 quenlor::QtMessageBoxes& messages) {
    const std::string failure = chosen.KeepState();
    return failure.empty() ? 0 : failStart(console, messages, "quenlor-eval: " + failure);
}

// Options refused, or help asked for: the exit status once it is told.
std::optional<int> refuseOrHelp(const std::optional<quenlor::Options>& options,
                                const std::string& error, char* program,
                                const quenlor::ConsoleStreams& console) {
    if (!options) {
        const std::string text = "quenlor-eval: " + error + "\n\n" + quenlor::Options::HelpText();
        std::cerr << text << std::flush;
        if (!console.error)
            showBeforeStart(program, text, quenlor::MessageIcon::Critical);
        return 2;
    }
    if (options->help || options->version) {
        const std::string text = options->help
                                     ? quenlor::Options::HelpText()
                                     : std::string("quenlor-eval ") + quenlor::kVersion + "\n";
        std::cout << text << std::flush;
        if (!console.output)
            showBeforeStart(program, text, quenlor::MessageIcon::Information);
        return 0;
    }
    return std::nullopt;
}

// Qt's own event dispatcher: the read loop yields 17 times a pass, and
// GLib's costs more system calls per yield. A QT_NO_GLIB set by the user
// (even empty) is kept.
void chooseEventDispatcher() {
    if (!qEnvironmentVariableIsSet("QT_NO_GLIB"))
        qputenv("QT_NO_GLIB", "1");
}

// Names the user's configuration folder, whatever the executable is called.
void nameApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("quenlor-eval"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(quenlor::kVersion));
}

// The window program over the chosen back-ends, until it ends; its exit status.
int run(const quenlor::Options& options, const quenlor::ConsoleStreams& console) {
    quenlor::QtMessageBoxes messages;
    // A screenshot run has nobody to click a box away.
    quenlor::UnattendedMessageBoxes unattended;
    quenlor::MessageBoxes& shown =
        options.screenshot.empty() ? static_cast<quenlor::MessageBoxes&>(messages) : unattended;
    quenlor::ChosenBackends chosen(options, shown);
    if (!chosen.failure().empty())
        return failStart(console, messages, "quenlor-eval: " + chosen.failure());

    quenlor::QtClock clock;
    quenlor::QtCursor cursor;
    quenlor::QtAppDirectory appDir;
    quenlor::QtLocaleInfo locale;
    quenlor::SystemThreadPriority priority;
    quenlor::Application program(chosen.backends(), {shown, clock, cursor, appDir, {}, &priority},
                                 locale);
    std::unique_ptr<quenlor::ScreenshotHook> screenshot;
    if (!options.screenshot.empty())
        screenshot = std::make_unique<quenlor::ScreenshotHook>(
            options.screenshot, options.screenshotMs, options.screenshotNoise);
    program.Main(options.interface);
    if (program.mainWindow().closing())
        return keepSimState(chosen, console, messages);
    if (screenshot)
        screenshot->arm(program.mainWindow());
    int status = QApplication::exec();
    if (screenshot && screenshot->failed())
        status = 1;
    const int kept = keepSimState(chosen, console, messages);
    return status != 0 ? status : kept;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    const quenlor::ConsoleStreams console = quenlor::AttachParentConsole();
#else
    // Elsewhere the streams are the ones the program was started with.
    const quenlor::ConsoleStreams console{true, true};
#endif
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    const auto options = quenlor::Options::Parse(args, error);
    if (const auto status = refuseOrHelp(options, error, argv[0], console))
        return *status;

    chooseEventDispatcher();
    QApplication app(argc, argv);
    nameApplication();
    return run(*options, console);
}
