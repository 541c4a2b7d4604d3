#include "app/private_file.h"

#include <stdexcept>
#include <string>
#include <system_error>

#ifdef _WIN32
#include "text/text_file.h"
#else
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "text/utf8.h"
#endif

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
#ifdef _WIN32
  writeUtf8File(file, text);
#else
  const std::string bytes = encodeUtf8(text);
  const std::filesystem::path directory = file.parent_path();
  if (!directory.empty()) {
    std::filesystem::create_directories(directory);
  }
  unlink(file.c_str());
  const int descriptor =
      open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR);
  if (descriptor < 0) {
    throw std::runtime_error("Cannot create temporary file");
  }
  std::size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t count = write(descriptor, bytes.data() + written, bytes.size() - written);
    if (count < 0 && errno == EINTR) {
      continue;
    }
    if (count <= 0) {
      close(descriptor);
      throw std::runtime_error("Cannot write temporary file");
    }
    written += static_cast<std::size_t>(count);
  }
  if (close(descriptor) != 0) {
    throw std::runtime_error("Cannot write temporary file");
  }
#endif
}

}  // namespace zq
