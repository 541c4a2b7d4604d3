#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace zq {

// The first CSV field of the engine's results file (quoted or not); "{}" when it holds nothing.
std::u16string extractResultJson(std::u16string_view csvText);

// "zq_scriptorix_result_" + process id + "_" + 16 random hex digits + ".tmp": the file the result
// output is written to before it is renamed into place.
std::u16string resultStagingName();

// Stores the JSON text of the results CSV, unchanged and alone, as the result output file.
void writeResultOutput(const std::filesystem::path& resultsCsv,
                       const std::filesystem::path& resultOutput);

}  // namespace zq
