#pragma once

#include <string>

namespace zq {

// Gives NativeOpenFileData a default for its options argument; only the first definition is
// touched.
std::u16string patchNativeOpenFileData(std::u16string text);

}  // namespace zq
