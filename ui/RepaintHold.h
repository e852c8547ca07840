#pragma once

#include <QObject>

class QEvent;
class QWidget;

namespace quenlor {

// Holds back the repaint of one window through a short stretch of busy work
// that yields often (the rows of a read-loop pass), so that what changed in
// it is painted in one go when it ends, not once per yield.
//
// A window collects every change until the one repaint request Qt posts for
// it is delivered; each yield would deliver it. While held, the request is
// kept back and posted again on release. Whenever the thread is about to wait
// for events (a modal window opened from a handler run inside the stretch) the
// hold ends by itself: the window is never left unpainted while the program
// waits.
class RepaintHold : public QObject {
    Q_OBJECT
  public:
    explicit RepaintHold(QWidget& window);

    void hold();
    // Lets the window repaint at the next yield if anything was held back.
    void release();
    bool holding() const { return holding_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget& window_;
    bool holding_ = false;
    bool heldBack_ = false;
};

}  // namespace quenlor
