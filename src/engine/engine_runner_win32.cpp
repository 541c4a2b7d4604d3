#ifdef _WIN32

#include <windows.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "engine/engine_command_line.h"
#include "engine/engine_runner.h"

namespace zq {

std::int32_t runEngine(const std::filesystem::path& engine, const std::filesystem::path& script,
                       const std::filesystem::path& workingDirectory) {
  const std::u16string commandLine = engineCommandLine(engine, script);
  // CreateProcessW may write into the command line, so it gets a private, terminated copy.
  std::vector<wchar_t> writable(commandLine.begin(), commandLine.end());
  writable.push_back(L'\0');

  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, writable.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      workingDirectory.c_str(), &startup, &process)) {
    throw std::runtime_error("CreateProcessW(scriptorix.exe) failed");
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD exitCode = 1;
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<std::int32_t>(exitCode);
}

}  // namespace zq

#endif
