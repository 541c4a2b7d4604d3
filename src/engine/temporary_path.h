#pragma once

#include <filesystem>
#include <string_view>

namespace zq {

// prefix + process identifier + suffix, directly in the system's temporary directory, made
// absolute so that it still names the same entry from the engine's working directory.
std::filesystem::path temporaryRunPath(std::u16string_view prefix, std::u16string_view suffix);

}  // namespace zq
