#ifdef _WIN32

#include "engine/interruption.h"

namespace zq {

// Nothing is held on Windows: Ctrl+C ends the helper outright, and the job object of
// engine_runner_win32 ends the engine with it.
InterruptionHold::InterruptionHold() = default;
InterruptionHold::~InterruptionHold() = default;

void stopIfInterrupted() {}

}  // namespace zq

#endif
