#pragma once

#include <filesystem>
#include <functional>
#include <string_view>

namespace sx {

// Writes `bytes` to a new, exclusively created temporary file with an unpredictable name in the
// destination's folder, then renames it into place. A link at the destination is replaced, not
// followed. On any failure the temporary file is removed, what stood at `path` is untouched and
// std::runtime_error is thrown.
void writeFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// Receives the file's bytes piece by piece.
using ByteSink = std::function<void(std::string_view)>;
// The same, with the bytes streamed by `produce` into the sink it is given, so the whole file
// never has to be in memory. An exception from `produce` fails the save like a write error.
void writeFileAtomically(const std::filesystem::path& path,
                         const std::function<void(const ByteSink&)>& produce);

}  // namespace sx
