#include "app/runtime_location.h"

namespace zq {

std::filesystem::path defaultRuntimeDirectory() {
  const std::filesystem::path executable = executableDirectory();
  const std::filesystem::path besideProgram = executable / "runtime";
  if (std::filesystem::exists(besideProgram / "scriptorix.exe")) {
    return besideProgram;
  }
  const std::filesystem::path besideParent = executable.parent_path() / "runtime";
  if (std::filesystem::exists(besideParent / "scriptorix.exe")) {
    return besideParent;
  }
  // The engine is missing; staging reports it.
  return besideProgram;
}

}  // namespace zq
