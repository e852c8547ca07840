#include "app/cli/Interrupt.h"

#include <csignal>

namespace quenlor {

namespace {

// A signal handler can reach nothing but a variable of this kind; it is the
// program's one piece of state outside the objects built at start-up.
volatile std::sig_atomic_t gInterrupted = 0;

extern "C" void OnInterrupt(int) {
    gInterrupted = 1;
}

}  // namespace

void Interrupt::Catch() {
    std::signal(SIGINT, OnInterrupt);
}

bool Interrupt::Requested() {
    return gInterrupted != 0;
}

}  // namespace quenlor
