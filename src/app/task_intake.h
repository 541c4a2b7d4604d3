#pragma once

#include <span>
#include <string>

#include "app/task_settings.h"

namespace zq {

// Reads and checks the task named by arguments[0] (arguments[1], if given, is the runtime
// directory), then creates the directory that is to hold the output.
TaskSettings readTaskSettings(std::span<const std::u16string> arguments);

}  // namespace zq
