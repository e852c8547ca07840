#pragma once

#include <QObject>
#include <cstdint>
#include <limits>

#include "platform/Clock.h"

class QEvent;
class QWidget;

namespace quenlor {

// Holds back the repaint of one window through busy work that yields often
// (the read loop), so that it is painted when and as often as the work
// chooses (every few milliseconds, between its passes), not once a yield.
// What the window shows is set when it is let repaint: all of it on release,
// a share of it (the window's choice) on each paintIfDue.
//
// A window collects every change until the one repaint request Qt posts for
// it is delivered, and each yield would deliver it. While held, the request
// is kept back and posted again on release. Whenever the thread is about to
// wait for events (a modal window opened from a handler run inside the loop)
// the hold ends by itself: the window is never left unpainted while the
// program waits.
class RepaintHold : public QObject {
    Q_OBJECT
  public:
    // A quarter of a 60 Hz screen's refresh. A repaint of everything the read
    // loop changed in 16 ms costs more than the quarter millisecond a pass at
    // 800 samples a second has to spare; a window that brings a quarter of its
    // readings up to date at each release keeps every repaint short and still
    // shows each reading once a refresh.
    static constexpr std::int64_t kIntervalNs = 4'000'000;

    RepaintHold(QWidget& window, Clock& clock);

    void hold();
    // Lets the window repaint at the next yield.
    void release();
    // Once the window's last repaint is kIntervalNs old: announces refreshDue
    // and repaints the window at once, without running other events (the end
    // of a pass is when the loop has time to spare, the next yield may not
    // be). The hold goes on either way.
    void paintIfDue();
    bool holding() const { return holding_; }

  signals:
    // The window is about to be let repaint: what it shows is to be brought
    // up to date now.
    void releasing();
    // The window is let repaint while its busy work goes on: a share of what
    // it shows may be brought up to date now.
    void refreshDue();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void postHeldBack();

    QWidget& window_;
    Clock& clock_;
    bool holding_ = false;
    bool heldBack_ = false;
    static constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::min();
    // When the window was last let repaint.
    std::int64_t painted_ = kNever;
};

}  // namespace quenlor
