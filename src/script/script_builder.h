#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "json/json_value.h"

namespace zq {

// The complete engine script for a task. The engine runs in its staged directory, so a relative
// "input" or output path is written resolved against `workingDirectory` (the helper's own working
// directory); an absolute path, or any path when `workingDirectory` is empty, is written as given.
std::u16string buildScript(const JsonValue& task, std::u16string_view format,
                           std::u16string_view outputPath, std::u16string_view resultsPath,
                           const std::filesystem::path& workingDirectory = {});

}  // namespace zq
