#include "io/atomic_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>
#include <stdexcept>
#include <string>

namespace sx {

namespace {

[[noreturn]] void failure(const std::filesystem::path& path, const std::string& what, int error) {
  // A full disk is common enough to be named in words, not only by the system's message.
  const std::string full = error == ENOSPC || error == EDQUOT ? "the disk is full: " : "";
  throw std::runtime_error("Cannot save \"" + path.string() + "\": " + what + " (" + full +
                           std::strerror(error) + ")");
}

std::string randomSuffix() {
  static constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device device;
  std::uniform_int_distribution<int> pick(0, sizeof kAlphabet - 2);
  std::string suffix;
  for (int i = 0; i < 16; ++i) suffix += kAlphabet[pick(device)];
  return suffix;
}

// Removes the temporary file unless the rename took it.
class TemporaryFile {
 public:
  explicit TemporaryFile(std::filesystem::path path) : path_(std::move(path)) {}
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!kept_) ::unlink(path_.c_str());
  }
  int& fd() { return fd_; }
  const std::filesystem::path& path() const { return path_; }
  void keep() { kept_ = true; }

 private:
  std::filesystem::path path_;
  int fd_ = -1;
  bool kept_ = false;
};

void writeAll(const std::filesystem::path& path, int fd, std::string_view bytes) {
  size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t result = ::write(fd, bytes.data() + written, bytes.size() - written);
    if (result < 0) {
      if (errno == EINTR) continue;
      failure(path, "cannot write", errno);
    }
    written += static_cast<size_t>(result);
  }
}

}  // namespace

void writeFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
  writeFileAtomically(path, [bytes](const ByteSink& write) { write(bytes); });
}

void writeFileAtomically(const std::filesystem::path& path,
                         const std::function<void(const ByteSink&)>& produce) {
  if (path.empty() || !path.has_filename()) failure(path, "no file name", EINVAL);
  const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
  int fd = -1;
  std::filesystem::path temporaryPath;
  for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
    temporaryPath = folder / ("." + path.filename().string() + ".tmp-" + randomSuffix());
    // Exclusive creation never reuses or follows anything already at the name.
    fd = ::open(temporaryPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) failure(path, "cannot create a temporary file", errno);
  }
  if (fd < 0) failure(path, "cannot create a temporary file", EEXIST);
  TemporaryFile temporary(temporaryPath);
  temporary.fd() = fd;
  produce([&](std::string_view bytes) { writeAll(path, fd, bytes); });
  if (::fsync(fd) != 0) failure(path, "cannot flush", errno);
  const int closed = ::close(fd);
  temporary.fd() = -1;
  if (closed != 0) failure(path, "cannot write", errno);
  // rename() replaces a link at the destination itself; it never writes through it.
  if (::rename(temporaryPath.c_str(), path.c_str()) != 0)
    failure(path, "cannot replace the file", errno);
  temporary.keep();
}

}  // namespace sx
