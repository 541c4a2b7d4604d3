#pragma once

#include <filesystem>
#include <vector>

namespace zq {

// Removes a run's temporary files and staged directory when the run ends, however it ends.
// Removal failures are ignored so that they never hide the run's own outcome.
class RunCleanup {
 public:
  RunCleanup(std::vector<std::filesystem::path> files, std::filesystem::path directory);
  ~RunCleanup();
  RunCleanup(const RunCleanup&) = delete;
  RunCleanup& operator=(const RunCleanup&) = delete;

 private:
  std::vector<std::filesystem::path> files_;
  std::filesystem::path directory_;
};

}  // namespace zq
