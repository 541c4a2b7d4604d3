#include "app/private_file.h"

#include <stdexcept>
#include <string>
#include <system_error>

#include "app/exclusive_file.h"
#include "engine/temporary_path.h"
#include "text/utf8.h"

namespace zq {

void removeStaleFile(const std::filesystem::path& file) {
  std::error_code ignored;
  std::filesystem::remove(file, ignored);
  std::error_code error;
  if (std::filesystem::symlink_status(file, error).type() !=
      std::filesystem::file_type::not_found) {
    throw std::runtime_error("Cannot remove stale temporary file");
  }
}

void writePrivateUtf8File(const std::filesystem::path& file, std::u16string_view text) {
  const std::string bytes = encodeUtf8(text);
  const std::filesystem::path directory = file.parent_path();
  if (!directory.empty()) {
    std::filesystem::create_directories(directory);
  }
  // A plain file or link of that name goes; anything else makes the exclusive creation fail.
  std::error_code ignored;
  if (!std::filesystem::is_directory(std::filesystem::symlink_status(file, ignored))) {
    std::filesystem::remove(file, ignored);
  }
  switch (writeExclusiveFile(file, bytes, NewFileAccess::OwnerOnly)) {
    case NewFileOutcome::Written:
      return;
    case NewFileOutcome::NotCreated:
      throw std::runtime_error("Cannot create temporary file");
    case NewFileOutcome::NotWritten:
      throw std::runtime_error("Cannot write temporary file");
    case NewFileOutcome::NoSpace:
      throw temporaryDirectoryFull(directory);
  }
}

}  // namespace zq
