#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace zq {

// The first CSV field of the engine's results file (quoted or not); "{}" when it holds nothing.
std::u16string extractResultJson(std::u16string_view csvText);

// Stores the JSON text of the results CSV, unchanged and alone, as the result output file.
void writeResultOutput(const std::filesystem::path& resultsCsv,
                       const std::filesystem::path& resultOutput);

}  // namespace zq
