#pragma once

#include <filesystem>
#include <string_view>

namespace zq {

// Directory of the running program's own file; the current directory when the system cannot say.
std::filesystem::path executableDirectory();

// The variable's value taken as a path character for character; the fallback when unset or empty.
std::filesystem::path environmentPath(std::u16string_view name,
                                      const std::filesystem::path& fallback);

// <exe dir>/runtime, else <exe dir>/../runtime when only that one holds the engine.
std::filesystem::path defaultRuntimeDirectory();

}  // namespace zq
