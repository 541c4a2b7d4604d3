#include "engine/process_id.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace zq {

namespace {

unsigned long long currentProcessId() {
#ifdef _WIN32
  return GetCurrentProcessId();
#else
  return static_cast<unsigned long long>(getpid());
#endif
}

}  // namespace

std::u16string currentProcessIdText() {
  const std::string digits = std::to_string(currentProcessId());
  return std::u16string(digits.begin(), digits.end());
}

}  // namespace zq
