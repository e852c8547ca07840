#pragma once

#include <QObject>
#include <cstdint>
#include <limits>

#include "platform/Clock.h"

class QEvent;
class QWidget;

namespace quenlor {

// Holds back the repaint of one window through busy work that yields often
// (the read loop), so that what changed is painted in one go: at most once a
// screen refresh, not once a yield. Everything the window shows is set at
// once as before; only the painting waits.
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
    // About a 60 Hz screen's refresh. Each repaint of the read loop's window
    // costs a few tenths of a millisecond, which a pass at 800 or 1000
    // samples a second has not to spare: the fewer, the fewer samples lost.
    static constexpr std::int64_t kIntervalNs = 16'000'000;

    RepaintHold(QWidget& window, Clock& clock);

    void hold();
    // Lets the window repaint at the next yield.
    void release();
    // The same once the window's last repaint is kIntervalNs old; until then
    // the hold goes on.
    void releaseIfDue();
    bool holding() const { return holding_; }

  signals:
    // The window is about to be let repaint: what it shows is to be brought
    // up to date now.
    void releasing();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget& window_;
    Clock& clock_;
    bool holding_ = false;
    bool heldBack_ = false;
    static constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::min();
    // When the window was last let repaint.
    std::int64_t painted_ = kNever;
};

}  // namespace quenlor
