#pragma once

#include <filesystem>
#include <string>

#include "json/json_value.h"

namespace zq {

// What intake settled; owned by the entry point for the whole run.
struct TaskSettings {
  JsonValue task;
  std::filesystem::path runtimeDirectory;
  std::u16string format;
  std::filesystem::path outputPath;
  // Empty when no result output is wanted.
  std::filesystem::path resultOutputPath;
};

}  // namespace zq
