#include "engine/private_directory.h"

#include <stdexcept>
#include <system_error>

#ifndef _WIN32
#include <sys/stat.h>

#include <cerrno>
#endif

namespace zq {

void createPrivateDirectory(const std::filesystem::path& directory) {
  std::filesystem::remove_all(directory);
  std::filesystem::create_directories(directory.parent_path());
#ifdef _WIN32
  std::filesystem::create_directory(directory);
#else
  if (mkdir(directory.c_str(), S_IRWXU) != 0) {
    const int error = errno;
    // Something took the name between the removal and the creation: it is not ours to use.
    if (error == EEXIST) {
      throw std::runtime_error("Cannot create private runtime directory");
    }
    throw std::filesystem::filesystem_error("mkdir", directory,
                                            std::error_code(error, std::generic_category()));
  }
#endif
}

}  // namespace zq
