#ifdef _WIN32

#include "engine/interruption.h"

namespace zq {

// Ctrl+C reaches the engine on the shared console and ends it, which fails the run as usual;
// a helper that is ended takes the engine along through the job object (engine_runner_win32).
InterruptionHold::InterruptionHold() = default;
InterruptionHold::~InterruptionHold() = default;

void stopIfInterrupted() {}

}  // namespace zq

#endif
