#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace sx {

// The font families of AllFonts.js: a script that sets the global AllFonts to an array of
// names. It runs in a context of its own, so nothing of it reaches the task's script.
std::vector<std::u16string> loadFontsList(const std::filesystem::path& file);

}  // namespace sx
