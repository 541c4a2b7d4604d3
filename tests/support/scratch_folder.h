#pragma once

#include <filesystem>

namespace zq::testing {

// A fresh, uniquely named folder in the temp directory, removed with everything in it afterwards.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& path() const { return root_; }
  std::filesystem::path operator/(const std::filesystem::path& relative) const {
    return root_ / relative;
  }

 private:
  std::filesystem::path root_;
};

}  // namespace zq::testing
