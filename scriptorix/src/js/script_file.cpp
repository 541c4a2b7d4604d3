#include "js/script_file.h"

#include <fstream>
#include <stdexcept>

#include "js/utf8_text.h"

namespace sx {

std::u16string readScriptFile(const std::filesystem::path& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) {
    throw std::runtime_error("Cannot read " + path.string() + ": not a readable file");
  }
  std::ifstream file(path, std::ios::binary | std::ios::ate);
  const std::streamoff size = file ? static_cast<std::streamoff>(file.tellg()) : -1;
  if (size < 0) throw std::runtime_error("Cannot read " + path.string());
  std::string bytes(static_cast<size_t>(size), '\0');
  file.seekg(0);
  if (!file.read(bytes.data(), size)) throw std::runtime_error("Cannot read " + path.string());
  std::string_view view = bytes;
  if (view.substr(0, 3) == "\xEF\xBB\xBF") view.remove_prefix(3);
  auto text = decodeUtf8(view);
  if (!text) throw std::runtime_error(path.string() + " is not valid UTF-8");
  return std::move(*text);
}

}  // namespace sx
