#include "app/output_targets.h"

#include <array>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#endif

namespace zq {

namespace fs = std::filesystem;

namespace {

char16_t upperAscii(char16_t unit) {
  return unit >= u'a' && unit <= u'z' ? static_cast<char16_t>(unit - u'a' + u'A') : unit;
}

bool equalIgnoringAsciiCase(std::u16string_view first, std::u16string_view second) {
  if (first.size() != second.size()) {
    return false;
  }
  for (std::size_t index = 0; index < first.size(); ++index) {
    if (upperAscii(first[index]) != upperAscii(second[index])) {
      return false;
    }
  }
  return true;
}

bool samePathText(const fs::path& first, const fs::path& second) {
#ifdef _WIN32
  // File names on Windows match the way the file system matches them: ordinal, ignoring case.
  const std::wstring& a = first.native();
  const std::wstring& b = second.native();
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
#else
  return first == second;
#endif
}

// Only a regular file (or a link to one) may be replaced; the rename would put a regular file
// in place of a device, a FIFO or a folder, and a device file's "write" goes somewhere else.
bool replaceable(const fs::path& path) {
#ifdef _WIN32
  if (isWindowsDeviceName(path.filename().u16string())) {
    return false;
  }
#endif
  const fs::file_type type = fs::status(path).type();
  return type == fs::file_type::regular || type == fs::file_type::not_found;
}

}  // namespace

bool isWindowsDeviceName(std::u16string_view fileName) {
  // Windows ignores the extension and trailing blanks and dots: "nul.txt" and "COM1 " are devices.
  std::u16string_view stem = fileName.substr(0, fileName.find(u'.'));
  while (!stem.empty() && stem.back() == u' ') {
    stem.remove_suffix(1);
  }
  static constexpr std::array<std::u16string_view, 6> kNames = {u"CON", u"PRN",    u"AUX",
                                                                u"NUL", u"CONIN$", u"CONOUT$"};
  for (const std::u16string_view name : kNames) {
    if (equalIgnoringAsciiCase(stem, name)) {
      return true;
    }
  }
  return stem.size() == 4 &&
         (equalIgnoringAsciiCase(stem.substr(0, 3), u"COM") ||
          equalIgnoringAsciiCase(stem.substr(0, 3), u"LPT")) &&
         stem[3] >= u'1' && stem[3] <= u'9';
}

bool sameFile(const fs::path& first, const fs::path& second) {
  if (fs::exists(first) && fs::exists(second)) {
    return fs::equivalent(first, second);
  }
  // Not "different" merely because one is missing: "a/../b" is missing while "a" is, and the
  // run creates "a" before it writes there.
  return samePathText(fs::weakly_canonical(fs::absolute(first)),
                      fs::weakly_canonical(fs::absolute(second)));
}

void checkOutputTargets(const fs::path& output, const fs::path& resultOutput) {
  if (!replaceable(output)) {
    throw std::runtime_error("Output is not a regular file");
  }
  if (resultOutput.empty()) {
    return;
  }
  if (!replaceable(resultOutput)) {
    throw std::runtime_error("Result output is not a regular file");
  }
  if (sameFile(output, resultOutput)) {
    throw std::runtime_error("Result output and output are the same file");
  }
}

}  // namespace zq
