#pragma once

#include "app/task_settings.h"

namespace zq {

// Stages the engine, writes and runs the script, and checks what the engine produced.
// Returns only when the run succeeded; the temporary files are gone either way. The task tree
// (settings.task) is released once the script is written, before the engine starts.
void runTask(TaskSettings& settings);

}  // namespace zq
