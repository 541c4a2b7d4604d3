#pragma once

namespace zq {

// Hands memory the program has freed back to the system, so that a large task's tree and
// script no longer count against the machine while the engine runs. Best effort: nothing
// happens where the platform has no such call.
void returnFreedMemory();

}  // namespace zq
