#include "app/console.h"

#include <iostream>
#include <string>

#include "app/quoted_path.h"

#ifndef _WIN32
#include "text/utf8.h"
#endif

namespace zq {

namespace {

// Windows consoles take wide text; elsewhere the console speaks UTF-8.
void writeWide(std::u16string_view text, bool toError) {
#ifdef _WIN32
  const std::wstring wide(text.begin(), text.end());
  (toError ? std::wcerr : std::wcout) << wide << std::flush;
#else
  (toError ? std::cerr : std::cout) << encodeUtf8(text) << std::flush;
#endif
}

}  // namespace

void writeUsage() { writeWide(u"Usage: zq_builder_helper.exe <task.json> [runtime-dir]\n", true); }

void writeCreatedLine(const std::filesystem::path& outputPath) {
  writeWide(u"Created " + quotedPathText(outputPath.u16string()) + u"\n", false);
}

void writeErrorLine(const char* message) {
  std::cerr << "Error: " << message << "\n" << std::flush;
}

}  // namespace zq
