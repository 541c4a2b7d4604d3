#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace zq::testing {

std::string readBytes(const std::filesystem::path& file);
// Creates missing parent folders.
void writeBytes(const std::filesystem::path& file, std::string_view bytes);
// The path's text as UTF-8 bytes, as the stand-in engine records it.
std::string utf8Text(const std::filesystem::path& path);

}  // namespace zq::testing
