#include "app/run_cleanup.h"

#include <system_error>
#include <utility>

namespace zq {

RunCleanup::RunCleanup(std::vector<std::filesystem::path> files, std::filesystem::path directory)
    : files_(std::move(files)), directory_(std::move(directory)) {}

RunCleanup::~RunCleanup() {
  std::error_code ignored;
  for (const std::filesystem::path& file : files_) {
    if (!file.empty()) {
      std::filesystem::remove(file, ignored);
    }
  }
  // remove_all removes a link in place of the directory, never what it points to.
  std::filesystem::remove_all(directory_, ignored);
}

}  // namespace zq
