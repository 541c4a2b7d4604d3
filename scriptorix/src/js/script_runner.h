#pragma once

#include <string>
#include <string_view>

#include "js/runtime_config.h"

namespace sx {

struct RunOutcome {
  int exitCode = 0;       // 0 ran to the end; 1 threw, or the runtime could not be loaded
  std::string errorLine;  // "line 12: Sheet name must be unique"; empty on success
};

// Runs a script in a fresh global context: the runtime's fonts list and scripts first, then a
// syntax check of the whole script (nothing runs when it fails), then the script in chunks of
// about `chunkLines` lines.
RunOutcome runScript(std::u16string_view script, const RuntimeConfig& runtime,
                     size_t chunkLines = 100);

}  // namespace sx
