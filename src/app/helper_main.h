#pragma once

#include <span>
#include <string>

namespace zq {

// The whole program: argv[0] is the program name, argv[1] the task file. Returns the exit code.
int helperMain(std::span<const std::u16string> argv);

}  // namespace zq
