#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace zq {

std::string readFileBytes(const std::filesystem::path& file);
std::u16string readUtf8File(const std::filesystem::path& file);
// Creates missing parent folders; replaces an existing file; no byte-order mark.
// The text is encoded before the file is touched, and a failed write or close is reported
// as "Cannot write output file" rather than leaving a short file behind unnoticed.
void writeUtf8File(const std::filesystem::path& file, std::u16string_view text);

}  // namespace zq
