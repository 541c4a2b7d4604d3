#pragma once

#include <filesystem>
#include <optional>

namespace zq {

// The nearest of the runtime directory and its first three ancestors that holds the engine's
// script library (sdkjs/common/Native/native.js), or none.
std::optional<std::filesystem::path> locateSdkRoot(const std::filesystem::path& runtimeDirectory);

}  // namespace zq
