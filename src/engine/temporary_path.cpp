#include "engine/temporary_path.h"

#include <cstdlib>
#include <string>
#include <system_error>

#include "engine/process_id.h"

namespace zq {

namespace fs = std::filesystem;

fs::path temporaryDirectory() {
#ifdef _WIN32
  // GetTempPath2W and GetTempPathW pass over empty variables themselves.
  return fs::temp_directory_path();
#else
  // The library's own lookup takes an empty TMPDIR as the directory "" and fails.
  for (const char* name : {"TMPDIR", "TMP", "TEMP", "TEMPDIR"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') {
      const fs::path directory(value);
      if (!fs::is_directory(directory)) {
        throw fs::filesystem_error("temp_directory_path", directory,
                                   std::make_error_code(std::errc::not_a_directory));
      }
      return directory;
    }
  }
  return "/tmp";
#endif
}

fs::path temporaryRunPath(std::u16string_view prefix, std::u16string_view suffix) {
  std::u16string name(prefix);
  name += currentProcessIdText();
  name += suffix;
  return fs::absolute(temporaryDirectory()) / name;
}

std::runtime_error temporaryDirectoryFull(const fs::path& directory) {
  const std::u8string where = directory.u8string();
  return std::runtime_error("No space left in the temporary directory " +
                            std::string(where.begin(), where.end()));
}

bool directoryIsFull(const fs::path& directory) {
  std::error_code error;
  const fs::space_info space = fs::space(directory, error);
  return !error && space.available == 0;
}

}  // namespace zq
