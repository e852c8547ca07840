#include "app/ScreenshotHook.h"

#include <QApplication>
#include <QComboBox>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <iostream>

#include "ui/main/frm1.h"
#include "ui/noise/NoiseAnalysisWindow.h"

namespace quenlor {

ScreenshotHook::ScreenshotHook(const std::string& file, int delayMs, bool noise)
    : file_(QString::fromStdString(file)), delayMs_(delayMs), noise_(noise) {}

void ScreenshotHook::arm(frm1& window) {
    if (noise_) {
        armNoise(window);
        return;
    }
    QPointer<frm1> target(&window);
    // The read loop runs inside the click handler; the grab runs at one of its yields.
    QTimer::singleShot(0, this, [target] {
        if (target)
            target->outputs().cmdReadData().click();
    });
    QTimer::singleShot(delayMs_, this, [this, target] {
        if (!target)
            return;
        if (!target->grab().save(file_, "PNG")) {
            failed_ = true;
            std::cerr << "quenlor-eval: cannot write " << file_.toStdString() << "\n";
        }
        target->close();
    });
}

}  // namespace quenlor

namespace quenlor {

// The Noise Analysis window is modal: its run starts, and the grab comes, at
// events of its own loop.
void ScreenshotHook::armNoise(frm1& window) {
    QPointer<frm1> target(&window);
    const int seconds = delayMs_ / 1000 + 10;
    QTimer::singleShot(0, this, [target, seconds] {
        if (!target)
            return;
        QTimer::singleShot(0, [seconds] {
            auto* noise = qobject_cast<NoiseAnalysisWindow*>(QApplication::activeModalWidget());
            if (noise == nullptr)
                return;
            const bool minutes = seconds > 999;
            noise->findChild<QSpinBox*>("spnDuration")
                ->setValue(minutes ? seconds / 60 + 1 : seconds);
            noise->findChild<QComboBox*>("cboDurationUnit")->setCurrentIndex(minutes ? 1 : 0);
            noise->findChild<QPushButton*>("cmdStart")->click();
        });
        target->mnuNoiseAnalysis().trigger();
        if (target)
            target->close();
    });
    QTimer::singleShot(delayMs_, this, [this] {
        auto* noise = qobject_cast<NoiseAnalysisWindow*>(QApplication::activeModalWidget());
        if (noise != nullptr)
            noise->refresh();
        if (noise == nullptr || !noise->grab().save(file_, "PNG")) {
            failed_ = true;
            std::cerr << "quenlor-eval: cannot write " << file_.toStdString() << "\n";
        }
        if (noise != nullptr)
            noise->close();
    });
}

}  // namespace quenlor
