#pragma once

#include <filesystem>
#include <string_view>

namespace zq {

enum class NewFileAccess { OwnerOnly, Default };

enum class NewFileOutcome { Written, NotCreated, NotWritten, NoSpace };

// Creates `file` where nothing stands yet (never over an existing entry, never through a link)
// and writes the bytes into it. OwnerOnly gives mode 0600 on POSIX; Windows keeps its defaults.
// A file that was created but not fully written is removed again.
[[nodiscard]] NewFileOutcome writeExclusiveFile(const std::filesystem::path& file,
                                                std::string_view bytes, NewFileAccess access);

}  // namespace zq
