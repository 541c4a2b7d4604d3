#ifndef _WIN32

#include <pthread.h>

#include <ctime>
#include <stdexcept>
#include <string>

#include "engine/interruption.h"

namespace zq {

sigset_t heldInterruptions() {
  sigset_t held;
  sigemptyset(&held);
  for (const int number : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction current {};
    // A signal the caller ignores (nohup) stays ignored.
    if (sigaction(number, nullptr, &current) == 0 && current.sa_handler != SIG_IGN) {
      sigaddset(&held, number);
    }
  }
  return held;
}

// Blocked signals wait, pending, until sigtimedwait takes them: no handler, nothing to make
// async-signal-safe.
InterruptionHold::InterruptionHold() {
  const sigset_t held = heldInterruptions();
  pthread_sigmask(SIG_BLOCK, &held, &previous_);
}

InterruptionHold::~InterruptionHold() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }

void failInterrupted(int signalNumber) {
  throw std::runtime_error("Interrupted by signal " + std::to_string(signalNumber));
}

void stopIfInterrupted() {
  const sigset_t held = heldInterruptions();
  const timespec now{};
  const int taken = sigtimedwait(&held, nullptr, &now);
  if (taken > 0) {
    failInterrupted(taken);
  }
}

}  // namespace zq

#endif
