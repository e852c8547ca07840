#include <QApplication>
#include <QTimer>
#include <iostream>
#include <memory>

#include "app/Application.h"
#include "app/Options.h"
#include "app/RealBackends.h"
#include "app/ScreenshotHook.h"
#include "app/SimBackends.h"
#include "core/Version.h"
#include "platform/console/WindowsConsole.h"
#include "ui/QtMessageBoxes.h"
#include "ui/frm1.h"

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
    if (!options) {
        const std::string text = "quenlor-eval: " + error + "\n\n" + quenlor::Options::HelpText();
        std::cerr << text << std::flush;
        if (!console.error)
            showBeforeStart(argv[0], text, quenlor::MessageIcon::Critical);
        return 2;
    }
    if (options->help || options->version) {
        const std::string text = options->help
                                     ? quenlor::Options::HelpText()
                                     : std::string("quenlor-eval ") + quenlor::kVersion + "\n";
        std::cout << text << std::flush;
        if (!console.output)
            showBeforeStart(argv[0], text, quenlor::MessageIcon::Information);
        return 0;
    }

    QApplication app(argc, argv);
    // Names the user's configuration folder, whatever the executable is called.
    QCoreApplication::setApplicationName(QStringLiteral("quenlor-eval"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(quenlor::kVersion));
    quenlor::QtMessageBoxes messages;
    std::unique_ptr<quenlor::Backends> backends;
    if (options->simulate) {
        auto sim = std::make_unique<quenlor::SimBackends>(options->simTrace);
        if (!options->simTrace.empty() && !sim->traceOk()) {
            const std::string text =
                "quenlor-eval: cannot write the bus trace " + options->simTrace;
            std::cerr << text << "\n" << std::flush;
            if (!console.error)
                messages.show(text, quenlor::kAppTitle, quenlor::MessageIcon::Critical);
            return 1;
        }
        backends = std::move(sim);
    } else {
        backends = std::make_unique<quenlor::RealBackends>(messages);
    }

    quenlor::Application program(*backends, messages);
    std::unique_ptr<quenlor::ScreenshotHook> screenshot;
    if (!options->screenshot.empty())
        screenshot =
            std::make_unique<quenlor::ScreenshotHook>(options->screenshot, options->screenshotMs);
    program.Main();
    if (program.mainWindow().closing())
        return 0;
    if (screenshot)
        screenshot->arm(program.mainWindow());
    const int status = app.exec();
    return screenshot && screenshot->failed() ? 1 : status;
}
