#include "app/exclusive_file.h"

#include <system_error>

#ifdef _WIN32
#include <windows.h>

#include <algorithm>
#else
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace zq {

namespace {

// Only a file this call created is removed: a short one must not pass for the whole text.
NewFileOutcome removedUnlessWritten(const std::filesystem::path& file, NewFileOutcome outcome) {
  if (outcome != NewFileOutcome::Written) {
    std::error_code ignored;
    std::filesystem::remove(file, ignored);
  }
  return outcome;
}

#ifdef _WIN32
NewFileOutcome failedWith(DWORD error, NewFileOutcome otherwise) {
  return error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL ? NewFileOutcome::NoSpace
                                                                     : otherwise;
}
#else
NewFileOutcome failedWith(int error, NewFileOutcome otherwise) {
  return error == ENOSPC ? NewFileOutcome::NoSpace : otherwise;
}
#endif

}  // namespace

#ifdef _WIN32

NewFileOutcome writeExclusiveFile(const std::filesystem::path& file, std::string_view bytes,
                                  NewFileAccess) {
  // CREATE_NEW fails on any entry at the name, a link included.
  const HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    return failedWith(GetLastError(), NewFileOutcome::NotCreated);
  }
  NewFileOutcome outcome = NewFileOutcome::Written;
  std::size_t written = 0;
  while (written < bytes.size()) {
    constexpr std::size_t kChunk = std::size_t{1} << 30;
    const DWORD chunk = static_cast<DWORD>(std::min(bytes.size() - written, kChunk));
    DWORD count = 0;
    if (!WriteFile(handle, bytes.data() + written, chunk, &count, nullptr) || count == 0) {
      outcome = failedWith(GetLastError(), NewFileOutcome::NotWritten);
      break;
    }
    written += count;
  }
  if (!CloseHandle(handle) && outcome == NewFileOutcome::Written) {
    outcome = failedWith(GetLastError(), NewFileOutcome::NotWritten);
  }
  return removedUnlessWritten(file, outcome);
}

#else

NewFileOutcome writeExclusiveFile(const std::filesystem::path& file, std::string_view bytes,
                                  NewFileAccess access) {
  const mode_t mode = access == NewFileAccess::OwnerOnly ? 0600 : 0666;
  const int descriptor =
      open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
  if (descriptor < 0) {
    return failedWith(errno, NewFileOutcome::NotCreated);
  }
  NewFileOutcome outcome = NewFileOutcome::Written;
  std::size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t count = write(descriptor, bytes.data() + written, bytes.size() - written);
    if (count < 0 && errno == EINTR) {
      continue;
    }
    if (count <= 0) {
      outcome = failedWith(count < 0 ? errno : ENOSPC, NewFileOutcome::NotWritten);
      break;
    }
    written += static_cast<std::size_t>(count);
  }
  if (close(descriptor) != 0 && outcome == NewFileOutcome::Written) {
    outcome = failedWith(errno, NewFileOutcome::NotWritten);
  }
  return removedUnlessWritten(file, outcome);
}

#endif

}  // namespace zq
