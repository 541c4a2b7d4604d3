#include "js/script_file.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "js/utf8_text.h"

namespace sx {

std::u16string readScriptFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw std::runtime_error("Cannot read " + path.string());
  std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  if (file.bad()) throw std::runtime_error("Cannot read " + path.string());
  std::string_view view = bytes;
  if (view.substr(0, 3) == "\xEF\xBB\xBF") view.remove_prefix(3);
  auto text = decodeUtf8(view);
  if (!text) throw std::runtime_error(path.string() + " is not valid UTF-8");
  return std::move(*text);
}

}  // namespace sx
