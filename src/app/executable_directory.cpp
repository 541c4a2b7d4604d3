#include "app/runtime_location.h"

#ifdef _WIN32
#include <windows.h>

#include <vector>
#endif

namespace zq {

std::filesystem::path executableDirectory() {
#ifdef _WIN32
  std::vector<wchar_t> buffer(MAX_PATH);
  DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  // A length equal to the buffer size means the path was cut off.
  while (length == buffer.size()) {
    buffer.resize(buffer.size() * 2);
    length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  }
  if (length == 0) {
    return std::filesystem::current_path();
  }
  return std::filesystem::path(std::wstring(buffer.data(), length)).parent_path();
#else
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error || self.empty()) {
    return std::filesystem::current_path();
  }
  return self.parent_path();
#endif
}

}  // namespace zq
