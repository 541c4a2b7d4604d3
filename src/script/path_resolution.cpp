#include "script/path_resolution.h"

namespace zq {
namespace {

bool isHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// The same text with each unpaired surrogate replaced by U+FFFD, unit for unit, so that the
// platform's path conversion (which rejects them) accepts it and every position is kept.
std::u16string convertible(std::u16string_view text) {
  std::u16string result(text);
  for (std::size_t i = 0; i < result.size(); ++i) {
    if (isHighSurrogate(result[i]) && i + 1 < result.size() && isLowSurrogate(result[i + 1])) {
      ++i;
    } else if (isHighSurrogate(result[i]) || isLowSurrogate(result[i])) {
      result[i] = u'\uFFFD';
    }
  }
  return result;
}

#ifdef _WIN32
// \\server\share\... is absolute, though the standard library on MinGW reads no root name in it.
bool isNetworkPath(std::u16string_view path) {
  const auto separator = [](char16_t unit) { return unit == u'\\' || unit == u'/'; };
  return path.size() >= 2 && separator(path[0]) && separator(path[1]);
}
#else
bool isNetworkPath(std::u16string_view) { return false; }
#endif

}  // namespace

std::u16string resolveAgainst(std::u16string_view path,
                              const std::filesystem::path& workingDirectory) {
  if (path.empty() || workingDirectory.empty()) return std::u16string(path);
  const std::filesystem::path standIn(convertible(path));
  if (standIn.is_absolute() || isNetworkPath(path)) return std::u16string(path);
  // Joining always ends with the relative part as written; put the original units back there
  // so that no unit of the task's text is lost in the conversion.
  std::u16string joined = (workingDirectory / standIn).u16string();
  const std::size_t tail = standIn.relative_path().u16string().size();
  joined.replace(joined.size() - tail, tail, path.substr(path.size() - tail));
  return joined;
}

}  // namespace zq
