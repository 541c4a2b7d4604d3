#include "engine/sdk_root.h"

namespace zq {

std::optional<std::filesystem::path> locateSdkRoot(const std::filesystem::path& runtimeDirectory) {
  constexpr int candidateCount = 4;
  std::filesystem::path candidate = runtimeDirectory;
  for (int attempt = 0; attempt < candidateCount; ++attempt) {
    if (std::filesystem::exists(candidate / "sdkjs" / "common" / "Native" / "native.js")) {
      return candidate;
    }
    candidate = candidate.parent_path();
  }
  return std::nullopt;
}

}  // namespace zq
