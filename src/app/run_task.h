#pragma once

#include "app/task_settings.h"

namespace zq {

// Stages the engine, writes and runs the script, and checks what the engine produced.
// Returns only when the run succeeded; the temporary files are gone either way.
void runTask(const TaskSettings& settings);

}  // namespace zq
