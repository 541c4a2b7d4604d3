#pragma once

#include <filesystem>

namespace zq {

// Replaces whatever stands at `directory` by a new, empty directory that only this user can enter.
// A link planted at that name is removed, never followed.
void createPrivateDirectory(const std::filesystem::path& directory);

}  // namespace zq
