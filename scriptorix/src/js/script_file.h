#pragma once

#include <filesystem>
#include <string>

namespace sx {

// A UTF-8 script file as UTF-16, one leading byte-order mark dropped. Throws
// std::runtime_error when the file cannot be read or is not UTF-8.
std::u16string readScriptFile(const std::filesystem::path& path);

}  // namespace sx
