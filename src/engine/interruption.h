#pragma once

#ifndef _WIN32
#include <signal.h>
#endif

namespace zq {

// While one lives, SIGINT, SIGTERM and SIGHUP (those not ignored) are held back instead of
// killing the helper outright, so that a run they interrupt still stops its engine and removes
// its temporary files; the run then fails with "Interrupted by signal N". Windows holds nothing:
// a job object ends the engine with the helper.
class InterruptionHold {
 public:
  InterruptionHold();
  ~InterruptionHold();
  InterruptionHold(const InterruptionHold&) = delete;
  InterruptionHold& operator=(const InterruptionHold&) = delete;

#ifndef _WIN32
 private:
  sigset_t previous_;
#endif
};

// Fails with "Interrupted by signal N" when a held signal has arrived.
void stopIfInterrupted();

#ifndef _WIN32
// The signals a hold keeps back, for waits that must wake for them too.
sigset_t heldInterruptions();

[[noreturn]] void failInterrupted(int signalNumber);
#endif

}  // namespace zq
