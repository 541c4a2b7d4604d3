#include "support/scratch_folder.h"

#include <random>
#include <string>
#include <system_error>

namespace zq::testing {

ScratchFolder::ScratchFolder() {
  std::random_device seed;
  std::mt19937_64 random(seed());
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  do {
    root_ = base / ("zq_h3_test_" + std::to_string(random()));
  } while (!std::filesystem::create_directory(root_));
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(root_, ignored);
}

}  // namespace zq::testing
