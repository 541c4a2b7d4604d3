#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace zq {

std::string readFileBytes(const std::filesystem::path& file);
std::u16string readUtf8File(const std::filesystem::path& file);
// Creates missing parent folders; replaces an existing file; no byte-order mark.
void writeUtf8File(const std::filesystem::path& file, std::u16string_view text);

}  // namespace zq
