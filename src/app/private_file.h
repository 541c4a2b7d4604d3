#pragma once

#include <filesystem>
#include <string_view>

namespace zq {

// Writes text as UTF-8 into a file created anew for this user; a file or link planted at the name
// is removed first and never written through. Fails with "Cannot create temporary file",
// "Cannot write temporary file", or "No space left in the temporary directory" and where.
void writePrivateUtf8File(const std::filesystem::path& file, std::u16string_view text);

// Removes a leftover file of an earlier process; fails when something still stands there.
void removeStaleFile(const std::filesystem::path& file);

}  // namespace zq
