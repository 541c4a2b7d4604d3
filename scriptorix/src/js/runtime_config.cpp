#include "js/runtime_config.h"

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

namespace sx {

namespace {

constexpr const char* kConfigName = "DoctRenderer.config";

[[noreturn]] void malformed(const std::string& what) {
  throw std::runtime_error(std::string(kConfigName) + " is malformed: " + what);
}

std::string_view trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  return text;
}

std::filesystem::path pathIn(std::string_view element, std::string_view content,
                             const std::filesystem::path& folder) {
  const std::string_view text = trimmed(content);
  if (text.empty()) malformed("<" + std::string(element) + "> is empty");
  const std::filesystem::path path{std::string(text)};
  return path.is_absolute() ? path : folder / path;
}

// Skips what may stand before the root: blanks, an XML declaration, comments.
size_t skipProlog(std::string_view text) {
  size_t at = 0;
  for (;;) {
    while (at < text.size() && trimmed(text.substr(at, 1)).empty()) ++at;
    if (text.substr(at, 2) == "<?") {
      at = text.find("?>", at);
    } else if (text.substr(at, 4) == "<!--") {
      at = text.find("-->", at);
    } else {
      return at;
    }
    if (at == std::string_view::npos) malformed("unterminated declaration or comment");
    at += text[at] == '?' ? 2 : 3;
  }
}

}  // namespace

// Read as text, not as general XML: the helper writes paths unescaped, so a path may hold "&"
// or "<", and an element's content runs to its own closing tag.
RuntimeConfig parseRuntimeConfig(std::string_view text, const std::filesystem::path& folder) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  size_t at = skipProlog(text);
  if (text.substr(at, 10) != "<Settings>") malformed("it does not start with <Settings>");
  const size_t close = text.rfind("</Settings>");
  if (close == std::string_view::npos || close < at) malformed("no closing </Settings>");
  if (!trimmed(text.substr(close + 11)).empty()) malformed("text after </Settings>");
  const std::string_view body = text.substr(at + 10, close - at - 10);

  RuntimeConfig config;
  size_t position = 0;
  while ((position = body.find('<', position)) != std::string_view::npos) {
    if (body.substr(position, 4) == "<!--") {
      position = body.find("-->", position);
      if (position == std::string_view::npos) malformed("unterminated comment");
      continue;
    }
    const size_t nameEnd = body.find('>', position);
    if (nameEnd == std::string_view::npos) malformed("unterminated tag");
    const std::string_view name = body.substr(position + 1, nameEnd - position - 1);
    if (name.empty() || name.front() == '/' || name.back() == '/') {
      malformed("unexpected tag <" + std::string(name) + ">");
    }
    const std::string closing = "</" + std::string(name) + ">";
    const size_t end = body.find(closing, nameEnd + 1);
    if (end == std::string_view::npos) malformed("<" + std::string(name) + "> is not closed");
    const std::string_view content = body.substr(nameEnd + 1, end - nameEnd - 1);
    if (name == "file") {
      config.scripts.push_back(pathIn(name, content, folder));
    } else if (name == "allfonts") {
      if (config.fontsList) malformed("more than one <allfonts>");
      config.fontsList = pathIn(name, content, folder);
    } else if (name == "sdkjs") {
      if (!config.libraryDirectory.empty()) malformed("more than one <sdkjs>");
      config.libraryDirectory = pathIn(name, content, folder);
    }
    position = end + closing.size();
  }
  if (config.scripts.empty()) malformed("no <file> names the runtime's scripts");
  if (config.libraryDirectory.empty()) malformed("no <sdkjs> names the script library");
  return config;
}
RuntimeConfig readRuntimeConfig(const std::filesystem::path& configFile) {
  std::ifstream file(configFile, std::ios::binary);
  if (!file) throw std::runtime_error("Cannot read " + configFile.string());
  const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  RuntimeConfig config =
      parseRuntimeConfig(text, std::filesystem::absolute(configFile).parent_path());
  std::error_code error;
  if (!std::filesystem::is_directory(config.libraryDirectory, error)) {
    throw std::runtime_error(std::string(kConfigName) + ": the script library " +
                             config.libraryDirectory.string() + " is not a directory");
  }
  return config;
}

std::optional<std::filesystem::path> findRuntimeConfig(
    const std::filesystem::path& workingDirectory,
    const std::filesystem::path& executableDirectory) {
  for (const auto& folder : {workingDirectory, executableDirectory}) {
    std::error_code error;
    const std::filesystem::path candidate = folder / kConfigName;
    if (std::filesystem::is_regular_file(candidate, error)) return candidate;
  }
  return std::nullopt;
}

}  // namespace sx
