#pragma once

#include <filesystem>
#include <stdexcept>
#include <string_view>

namespace zq {

// The system's temporary directory. On POSIX the first of TMPDIR, TMP, TEMP and TEMPDIR that is
// set and not empty, else /tmp: an empty variable means the default, not an error.
std::filesystem::path temporaryDirectory();

// prefix + process identifier + suffix, directly in the system's temporary directory, made
// absolute so that it still names the same entry from the engine's working directory.
std::filesystem::path temporaryRunPath(std::u16string_view prefix, std::u16string_view suffix);

// "No space left in the temporary directory" and where that is.
std::runtime_error temporaryDirectoryFull(const std::filesystem::path& directory);

// Whether the file system holding `directory` has no room left for another byte.
bool directoryIsFull(const std::filesystem::path& directory);

}  // namespace zq
