#pragma once

#include <filesystem>

namespace zq {

void writeUsage();
void writeCreatedLine(const std::filesystem::path& outputPath);
void writeErrorLine(const char* message);

}  // namespace zq
