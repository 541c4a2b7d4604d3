#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace zq::testing {

// Sets (or, with nullopt, unsets) an environment variable and restores it on destruction.
class EnvironmentOverride {
 public:
  EnvironmentOverride(std::string name, const std::optional<std::string>& value);
  ~EnvironmentOverride();
  EnvironmentOverride(const EnvironmentOverride&) = delete;
  EnvironmentOverride& operator=(const EnvironmentOverride&) = delete;

 private:
  std::string name_;
  std::optional<std::string> previous_;
};

// Points the system's temporary directory at `directory` for the override's lifetime.
class TemporaryDirectoryOverride {
 public:
  explicit TemporaryDirectoryOverride(const std::filesystem::path& directory);

 private:
  EnvironmentOverride tmpdir_;
  EnvironmentOverride tmp_;
  EnvironmentOverride temp_;
};

// A copy of the stand-in engine as `directory`/scriptorix.exe; returns its path.
std::filesystem::path layFakeEngine(const std::filesystem::path& directory);

}  // namespace zq::testing
