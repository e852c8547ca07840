#include "ui/RepaintHold.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace quenlor {

RepaintHold::RepaintHold(QWidget& window) : QObject(&window), window_(window) {
    window_.installEventFilter(this);
    if (auto* dispatcher = QAbstractEventDispatcher::instance())
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &RepaintHold::release);
}

void RepaintHold::hold() {
    holding_ = true;
}

void RepaintHold::release() {
    holding_ = false;
    if (!heldBack_)
        return;
    heldBack_ = false;
    // As Qt posts it: behind the input, so a click is handled before the repaint.
    QCoreApplication::postEvent(&window_, new QEvent(QEvent::UpdateRequest), Qt::LowEventPriority);
}

bool RepaintHold::eventFilter(QObject* watched, QEvent* event) {
    if (holding_ && watched == &window_ && event->type() == QEvent::UpdateRequest) {
        heldBack_ = true;
        return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace quenlor
