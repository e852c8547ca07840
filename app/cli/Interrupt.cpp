#include "app/cli/Interrupt.h"

#include <atomic>
#include <csignal>

namespace quenlor {

namespace {

// A signal handler can reach nothing but a lock-free atomic; it is the
// program's one piece of state outside the objects built at start-up, read
// by the acquisition worker too.
std::atomic<bool> gInterrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void OnInterrupt(int) {
    gInterrupted.store(true);
}

}  // namespace

void Interrupt::Catch() {
    std::signal(SIGINT, OnInterrupt);
}

bool Interrupt::Requested() {
    return gInterrupted.load();
}

}  // namespace quenlor
