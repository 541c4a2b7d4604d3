#include "app/runtime_location.h"

#ifdef _WIN32
#include <windows.h>

#include <string>
#include <vector>
#else
#include <cstdlib>

#include "text/utf8.h"
#endif

namespace zq {

std::filesystem::path environmentPath(std::u16string_view name,
                                      const std::filesystem::path& fallback) {
#ifdef _WIN32
  const std::wstring wideName(name.begin(), name.end());
  const DWORD size = GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
  if (size == 0) {
    return fallback;
  }
  std::vector<wchar_t> buffer(size);
  const DWORD length = GetEnvironmentVariableW(wideName.c_str(), buffer.data(), size);
  std::wstring value(buffer.data(), length < size ? length : size);
  if (!value.empty() && value.back() == L'\0') {
    value.pop_back();
  }
  if (value.empty()) {
    return fallback;
  }
  return std::filesystem::path(value);
#else
  const char* value = std::getenv(encodeUtf8(name).c_str());
  if (value == nullptr || *value == '\0') {
    return fallback;
  }
  return std::filesystem::path(std::string(value));
#endif
}

}  // namespace zq
