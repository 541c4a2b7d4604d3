#include "engine/temporary_path.h"

#include <string>

#include "engine/process_id.h"

namespace zq {

std::filesystem::path temporaryRunPath(std::u16string_view prefix, std::u16string_view suffix) {
  std::u16string name(prefix);
  name += currentProcessIdText();
  name += suffix;
  return std::filesystem::absolute(std::filesystem::temp_directory_path()) / name;
}

}  // namespace zq
