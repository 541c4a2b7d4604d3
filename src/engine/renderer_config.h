#pragma once

#include <filesystem>
#include <string>

namespace zq {

struct RendererConfigPaths {
  std::filesystem::path patchedNativeScript;
  std::filesystem::path jqueryScript;
  std::filesystem::path xregexpScript;
  std::filesystem::path libraryDirectory;
};

// The text of DoctRenderer.config: seven lines, paths with forward slashes, inserted unescaped.
std::u16string rendererConfigText(const RendererConfigPaths& paths);

}  // namespace zq
