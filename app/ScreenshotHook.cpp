#include "app/ScreenshotHook.h"

#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <iostream>

#include "ui/main/frm1.h"

namespace quenlor {

ScreenshotHook::ScreenshotHook(const std::string& file, int delayMs)
    : file_(QString::fromStdString(file)), delayMs_(delayMs) {}

void ScreenshotHook::arm(frm1& window) {
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
