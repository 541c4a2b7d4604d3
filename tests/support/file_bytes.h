#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace zq::testing {

std::string readBytes(const std::filesystem::path& file);
// Creates missing parent folders.
void writeBytes(const std::filesystem::path& file, std::string_view bytes);

}  // namespace zq::testing
