#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace zq {

// `path` as the engine must see it from its own working directory: a relative path joined to
// `workingDirectory`, an absolute or empty one (or any, without a working directory) unchanged.
std::u16string resolveAgainst(std::u16string_view path,
                              const std::filesystem::path& workingDirectory);

}  // namespace zq
