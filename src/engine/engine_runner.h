#pragma once

#include <cstdint>
#include <filesystem>

namespace zq {

// Runs the engine on one script in `workingDirectory`, with this program's environment and console,
// and returns its exit status once it has ended (128 + the signal number for a killed child on
// POSIX). A start that fails raises "CreateProcessW(scriptorix.exe) failed".
std::int32_t runEngine(const std::filesystem::path& engine, const std::filesystem::path& script,
                       const std::filesystem::path& workingDirectory);

}  // namespace zq
