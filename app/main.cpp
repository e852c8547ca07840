#include <QApplication>
#include <QTimer>
#include <iostream>
#include <memory>

#include "app/Application.h"
#include "app/Options.h"
#include "app/RealBackends.h"
#include "app/ScreenshotHook.h"
#include "app/SimBackends.h"
#include "ui/QtMessageBoxes.h"
#include "ui/frm1.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    const auto options = quenlor::Options::Parse(args, error);
    if (!options) {
        std::cerr << "quenlor-eval: " << error << "\n\n" << quenlor::Options::HelpText();
        return 2;
    }
    if (options->help) {
        std::cout << quenlor::Options::HelpText();
        return 0;
    }

    QApplication app(argc, argv);
    quenlor::QtMessageBoxes messages;
    std::unique_ptr<quenlor::Backends> backends;
    if (options->simulate) {
        auto sim = std::make_unique<quenlor::SimBackends>(options->simTrace);
        if (!options->simTrace.empty() && !sim->traceOk()) {
            std::cerr << "quenlor-eval: cannot write the bus trace " << options->simTrace << "\n";
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
