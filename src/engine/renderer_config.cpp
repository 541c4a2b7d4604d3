#include "engine/renderer_config.h"

#include <algorithm>

namespace zq {

namespace {

std::u16string forwardSlashed(const std::filesystem::path& path) {
  std::u16string text = path.u16string();
  std::replace(text.begin(), text.end(), u'\\', u'/');
  return text;
}

}  // namespace

std::u16string rendererConfigText(const RendererConfigPaths& paths) {
  std::u16string text = u"<Settings>\n<file>";
  text += forwardSlashed(paths.patchedNativeScript);
  text += u"</file>\n<file>";
  text += forwardSlashed(paths.jqueryScript);
  text += u"</file>\n<allfonts>./AllFonts.js</allfonts>\n<file>";
  text += forwardSlashed(paths.xregexpScript);
  text += u"</file>\n<sdkjs>";
  text += forwardSlashed(paths.libraryDirectory);
  text += u"</sdkjs>\n</Settings>\n";
  return text;
}

}  // namespace zq
