#pragma once

#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

namespace sx {

// What DoctRenderer.config names. Relative paths are resolved against the config's folder.
struct RuntimeConfig {
  std::vector<std::filesystem::path> scripts;      // <file>, evaluated in this order
  std::optional<std::filesystem::path> fontsList;  // <allfonts>
  std::filesystem::path libraryDirectory;          // <sdkjs>
};

// The config text: a <Settings> root with <file>, <allfonts> and <sdkjs> children; other
// elements are ignored. Paths are taken character for character ("&" and "<" included, as the
// helper writes them unescaped; no entities are decoded). Throws std::runtime_error saying
// what is wrong.
RuntimeConfig parseRuntimeConfig(std::string_view text, const std::filesystem::path& folder);

// Reads and parses the file; the library directory must exist.
RuntimeConfig readRuntimeConfig(const std::filesystem::path& configFile);

// DoctRenderer.config in the working directory, else in the executable's directory.
std::optional<std::filesystem::path> findRuntimeConfig(
    const std::filesystem::path& workingDirectory,
    const std::filesystem::path& executableDirectory);

}  // namespace sx
