#pragma once

#include <filesystem>

namespace zq {

void writeUsage();
// --help: the usage, what the program does and where its documentation is, on standard output.
void writeHelp();
void writeVersion();
void writeCreatedLine(const std::filesystem::path& outputPath);
void writeErrorLine(const char* message);

}  // namespace zq
