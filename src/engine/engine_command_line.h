#pragma once

#include <filesystem>
#include <string>

namespace zq {

// "engine" "script", both quoted and otherwise unchanged, so the script is the engine's one
// argument.
std::u16string engineCommandLine(const std::filesystem::path& engine,
                                 const std::filesystem::path& script);

}  // namespace zq
