#include "app/console.h"

#include <iostream>
#include <string>

#include "app/quoted_path.h"
#include "text/utf8.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace zq {

namespace {

// Windows consoles take wide text; elsewhere the console speaks UTF-8.
void writeWide(std::u16string_view text, bool toError) {
#ifdef _WIN32
  // A console shows the UTF-16 text as it is. Redirected output gets UTF-8, as elsewhere: the
  // wide stream would convert through the C locale and stop at the first non-ASCII character.
  const HANDLE handle = GetStdHandle(toError ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  if (GetConsoleMode(handle, &mode)) {
    DWORD written = 0;
    WriteConsoleW(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    return;
  }
#endif
  (toError ? std::cerr : std::cout) << encodeUtf8(text) << std::flush;
}

constexpr std::u16string_view kUsage = u"Usage: zq_builder_helper.exe <task.json> [runtime-dir]\n";

}  // namespace

void writeUsage() { writeWide(kUsage, true); }

void writeHelp() {
  writeWide(std::u16string(kUsage) +
                u"Creates or edits a spreadsheet workbook from a JSON task file, through the "
                u"bundled scriptorix engine.\n"
                u"Documentation: README.md in the source tree; a Debian package installs it as "
                u"/usr/share/doc/zq-builder-helper/README.md.\n",
            false);
}

void writeVersion() { writeWide(u"zq_builder_helper " ZQ_VERSION "\n", false); }

void writeCreatedLine(const std::filesystem::path& outputPath) {
  writeWide(u"Created " + quotedPathText(outputPath.u16string()) + u"\n", false);
}

void writeErrorLine(const char* message) {
  std::cerr << "Error: " << message << "\n" << std::flush;
}

}  // namespace zq
