#pragma once

#include <filesystem>
#include <string_view>

namespace sx {

// Writes `bytes` to a new, exclusively created temporary file with an unpredictable name in the
// destination's folder, then renames it into place. A link at the destination is replaced, not
// followed. On any failure the temporary file is removed, what stood at `path` is untouched and
// std::runtime_error is thrown.
void writeFileAtomically(const std::filesystem::path& path, std::string_view bytes);

}  // namespace sx
