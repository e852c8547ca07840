#include "ui/RepaintHold.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace quenlor {

RepaintHold::RepaintHold(QWidget& window, Clock& clock)
    : QObject(&window), window_(window), clock_(clock) {
    window_.installEventFilter(this);
    if (auto* dispatcher = QAbstractEventDispatcher::instance())
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &RepaintHold::release);
}

void RepaintHold::hold() {
    holding_ = true;
}

void RepaintHold::release() {
    holding_ = false;
    emit releasing();
    postHeldBack();
}

void RepaintHold::postHeldBack() {
    if (!heldBack_)
        return;
    heldBack_ = false;
    // With the priority Qt gives it: after the other posted events.
    QCoreApplication::postEvent(&window_, new QEvent(QEvent::UpdateRequest), Qt::LowEventPriority);
}

void RepaintHold::paintIfDue() {
    if (painted_ != kNever && clock_.monotonicNanoseconds() - painted_ < kIntervalNs)
        return;
    heldBack_ = false;
    emit refreshDue();
    // The hold goes on after this one repaint: a request Qt posts meanwhile
    // waits for the next, instead of painting in a yield of the coming wait.
    const bool held = holding_;
    holding_ = false;
    QEvent request(QEvent::UpdateRequest);
    QCoreApplication::sendEvent(&window_, &request);
    holding_ = held;
}

bool RepaintHold::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &window_ || event->type() != QEvent::UpdateRequest)
        return false;
    if (holding_) {
        heldBack_ = true;
        return true;
    }
    painted_ = clock_.monotonicNanoseconds();
    return false;
}

}  // namespace quenlor
