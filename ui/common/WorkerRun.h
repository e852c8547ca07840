#pragma once

#include <QCoreApplication>

#include <chrono>
#include <functional>
#include <utility>

#include "acquisition/AcquisitionEngine.h"

namespace quenlor {

// Lends `work` to the engine's worker and returns once it has returned. The
// window's events run meanwhile, with what the worker hands over (its
// questions to the window's host, its message boxes) and `each` after every
// round, which copies the controls the work reads and says whether the work
// was told to end: from then on only the worker's requests are served, as a
// single thread ran no events after it saw the end. Should a job be lent
// already, `work` runs here instead, as it did before there was a worker.
inline void RunOnWorker(AcquisitionEngine& engine, std::function<void()> work,
                        const std::function<bool()>& each) {
    if (!engine.Lend(work)) {
        work();
        return;
    }
    // The worker's questions wake the wait at once; the window's events
    // (paints, a Cancel) run at least at the screen's pace.
    constexpr std::chrono::milliseconds kRound{16};
    bool ending = false;
    while (engine.Lent()) {
        if (!ending) {
            QCoreApplication::processEvents();
            ending = each();
        }
        engine.ServeOwnerFor(kRound);
    }
    engine.ServeOwner();
}

}  // namespace quenlor
