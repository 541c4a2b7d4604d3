#include "js/runtime_config.h"

#include <fstream>
#include <iterator>
#include <pugixml.hpp>
#include <stdexcept>
#include <string>

namespace sx {

namespace {

constexpr const char* kConfigName = "DoctRenderer.config";

[[noreturn]] void malformed(const std::string& what) {
  throw std::runtime_error(std::string(kConfigName) + " is malformed: " + what);
}

std::string trimmed(std::string text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.back())) text.pop_back();
  size_t start = 0;
  while (start < text.size() && blank(text[start])) ++start;
  return text.substr(start);
}

std::filesystem::path pathIn(const pugi::xml_node& node, const std::filesystem::path& folder) {
  const std::string text = trimmed(node.text().get());
  if (text.empty()) malformed(std::string("<") + node.name() + "> is empty");
  const std::filesystem::path path(text);
  return path.is_absolute() ? path : folder / path;
}

}  // namespace

RuntimeConfig parseRuntimeConfig(std::string_view text, const std::filesystem::path& folder) {
  pugi::xml_document document;
  // No entity decoding: paths stand in the file as they are.
  const unsigned options = pugi::parse_default & ~pugi::parse_escapes;
  const pugi::xml_parse_result parsed = document.load_buffer(text.data(), text.size(), options);
  if (!parsed) malformed(std::string(parsed.description()) + " at offset " +
                         std::to_string(parsed.offset));
  const pugi::xml_node settings = document.child("Settings");
  if (!settings) malformed("no <Settings> element");

  RuntimeConfig config;
  for (const pugi::xml_node& node : settings.children()) {
    if (node.type() != pugi::node_element) continue;
    const std::string_view name = node.name();
    if (name == "file") {
      config.scripts.push_back(pathIn(node, folder));
    } else if (name == "allfonts") {
      if (config.fontsList) malformed("more than one <allfonts>");
      config.fontsList = pathIn(node, folder);
    } else if (name == "sdkjs") {
      if (!config.libraryDirectory.empty()) malformed("more than one <sdkjs>");
      config.libraryDirectory = pathIn(node, folder);
    }
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
