#ifdef _WIN32

#include <windows.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "engine/engine_command_line.h"
#include "engine/engine_runner.h"

namespace zq {

namespace {

std::runtime_error startFailure() {
  return std::runtime_error("CreateProcessW(scriptorix.exe) failed");
}

// The system ends every process of this job when its last handle closes, which happens at the
// latest when the helper ends, however it ends: the engine never outlives the helper.
HANDLE killOnCloseJob() {
  HANDLE job = CreateJobObjectW(nullptr, nullptr);
  if (job == nullptr) {
    throw startFailure();
  }
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (!SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof(limits))) {
    CloseHandle(job);
    throw startFailure();
  }
  return job;
}

}  // namespace

std::int32_t runEngine(const std::filesystem::path& engine, const std::filesystem::path& script,
                       const std::filesystem::path& workingDirectory) {
  const std::u16string commandLine = engineCommandLine(engine, script);
  // CreateProcessW may write into the command line, so it gets a private, terminated copy.
  std::vector<wchar_t> writable(commandLine.begin(), commandLine.end());
  writable.push_back(L'\0');

  const HANDLE job = killOnCloseJob();
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  // Suspended until it is in the job, so that nothing it starts escapes the job.
  if (!CreateProcessW(nullptr, writable.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                      workingDirectory.c_str(), &startup, &process)) {
    CloseHandle(job);
    throw startFailure();
  }
  if (!AssignProcessToJobObject(job, process.hProcess) || ResumeThread(process.hThread) == -1U) {
    TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    CloseHandle(job);
    throw startFailure();
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD exitCode = 1;
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  CloseHandle(job);
  return static_cast<std::int32_t>(exitCode);
}

}  // namespace zq

#endif
