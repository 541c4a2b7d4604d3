#pragma once

#include <string>

namespace zq {

// The running program's identifier in unsigned decimal, as it names every temporary entry of a run.
std::u16string currentProcessIdText();

}  // namespace zq
