#pragma once

#include <filesystem>

namespace zq {

// Where this process stages the engine runtime: "zq_scriptorix_cli_" + process id in the temp dir.
std::filesystem::path stagedRuntimePath();

// Builds a fresh private copy of the runtime, with the patched native script and its own
// DoctRenderer.config when the script library is complete, and returns the copy's path.
std::filesystem::path stageRuntime(const std::filesystem::path& runtimeDirectory);

}  // namespace zq
