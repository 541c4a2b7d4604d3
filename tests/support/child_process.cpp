#ifndef _WIN32

#include "support/child_process.h"

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <stdexcept>
#include <thread>

#include "support/file_bytes.h"

namespace zq::testing {

namespace {

int captureCounter = 0;

[[noreturn]] void becomeChild(const ChildRequest& request, const std::filesystem::path& out,
                              const std::filesystem::path& err) {
  const int outFd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  const int errFd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (outFd < 0 || errFd < 0 || dup2(outFd, 1) < 0 || dup2(errFd, 2) < 0) {
    _exit(126);
  }
  for (const auto& [name, value] : request.environment) {
    if (value) {
      setenv(name.c_str(), value->c_str(), 1);
    } else {
      unsetenv(name.c_str());
    }
  }
  if (!request.workingDirectory.empty() && chdir(request.workingDirectory.c_str()) != 0) {
    _exit(126);
  }
  if (request.beforeExec) {
    request.beforeExec();
  }
  std::vector<std::string> strings{request.program.string()};
  strings.insert(strings.end(), request.arguments.begin(), request.arguments.end());
  std::vector<char*> argv;
  for (std::string& text : strings) {
    argv.push_back(text.data());
  }
  argv.push_back(nullptr);
  execv(argv[0], argv.data());
  _exit(127);
}

}  // namespace

RunningChild::RunningChild(const ChildRequest& request,
                           const std::filesystem::path& captureDirectory) {
  const std::string stem = "child_" + std::to_string(++captureCounter);
  outputFile_ = captureDirectory / (stem + ".out");
  errorFile_ = captureDirectory / (stem + ".err");
  id_ = fork();
  if (id_ < 0) {
    throw std::runtime_error("test cannot fork");
  }
  if (id_ == 0) {
    becomeChild(request, outputFile_, errorFile_);
  }
}

ChildOutcome RunningChild::wait() {
  int status = 0;
  if (waitpid(id_, &status, 0) != id_) {
    throw std::runtime_error("test cannot wait for its child");
  }
  ChildOutcome outcome;
  outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
  outcome.standardOutput = readBytes(outputFile_);
  outcome.standardError = readBytes(errorFile_);
  return outcome;
}

void RunningChild::killOutright() { kill(id_, SIGKILL); }

void adoptOrphans() { prctl(PR_SET_CHILD_SUBREAPER, 1); }

bool processEnds(long id, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  const pid_t process = static_cast<pid_t>(id);
  do {
    const pid_t ended = waitpid(process, nullptr, WNOHANG);
    if (ended == process || (ended < 0 && kill(process, 0) != 0)) {
      return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  } while (std::chrono::steady_clock::now() < deadline);
  return false;
}

ChildOutcome runChild(const ChildRequest& request, const std::filesystem::path& captureDirectory) {
  return RunningChild(request, captureDirectory).wait();
}

}  // namespace zq::testing

#else

#include "support/child_process.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cwchar>
#include <stdexcept>

#include "support/file_bytes.h"

namespace zq::testing {

namespace {

int captureCounter = 0;

std::wstring wide(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end())).wstring();
}

// Quoted so that the C runtime's splitting of the command line gives the argument back.
std::wstring quotedArgument(const std::wstring& argument) {
  std::wstring text = L"\"";
  std::size_t backslashes = 0;
  for (const wchar_t unit : argument) {
    if (unit == L'\\') {
      ++backslashes;
      continue;
    }
    text.append(unit == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
    backslashes = 0;
    text += unit;
  }
  text.append(2 * backslashes, L'\\');
  return text + L"\"";
}

// This process's environment with the request's changes; names match without regard to case.
std::wstring environmentBlock(const std::map<std::string, std::optional<std::string> >& changes) {
  std::vector<std::wstring> entries;
  wchar_t* block = GetEnvironmentStringsW();
  for (const wchar_t* entry = block; *entry != L'\0'; entry += std::wcslen(entry) + 1) {
    entries.emplace_back(entry);
  }
  FreeEnvironmentStringsW(block);
  for (const auto& [name, value] : changes) {
    const std::wstring key = wide(name);
    std::erase_if(entries, [&key](const std::wstring& entry) {
      return entry.find(L'=', 1) == key.size() &&
             _wcsnicmp(entry.c_str(), key.c_str(), key.size()) == 0;
    });
    if (value) {
      entries.push_back(key + L"=" + wide(*value));
    }
  }
  std::wstring text;
  for (const std::wstring& entry : entries) {
    text += entry;
    text += L'\0';
  }
  return text + L'\0';
}

HANDLE inheritableCaptureFile(const std::filesystem::path& path) {
  SECURITY_ATTRIBUTES security{sizeof(security), nullptr, TRUE};
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &security, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    throw std::runtime_error("test cannot create a capture file");
  }
  return file;
}

}  // namespace

RunningChild::RunningChild(const ChildRequest& request,
                           const std::filesystem::path& captureDirectory) {
  if (request.beforeExec) {
    throw std::logic_error("beforeExec needs fork and exec");
  }
  const std::string stem = "child_" + std::to_string(++captureCounter);
  outputFile_ = captureDirectory / (stem + ".out");
  errorFile_ = captureDirectory / (stem + ".err");
  std::wstring commandLine = quotedArgument(request.program.wstring());
  for (const std::string& argument : request.arguments) {
    commandLine += L" " + quotedArgument(wide(argument));
  }
  std::wstring environment = environmentBlock(request.environment);
  const std::wstring directory = request.workingDirectory.wstring();

  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = inheritableCaptureFile(outputFile_);
  startup.hStdError = inheritableCaptureFile(errorFile_);
  PROCESS_INFORMATION started{};
  const BOOL created = CreateProcessW(
      nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_UNICODE_ENVIRONMENT,
      environment.data(), directory.empty() ? nullptr : directory.c_str(), &startup, &started);
  CloseHandle(startup.hStdOutput);
  CloseHandle(startup.hStdError);
  if (!created) {
    throw std::runtime_error("test cannot start its child");
  }
  CloseHandle(started.hThread);
  process_ = started.hProcess;
  id_ = static_cast<pid_t>(started.dwProcessId);
}

ChildOutcome RunningChild::wait() {
  WaitForSingleObject(process_, INFINITE);
  DWORD code = 1;
  const BOOL known = GetExitCodeProcess(process_, &code);
  CloseHandle(process_);
  process_ = nullptr;
  if (!known) {
    throw std::runtime_error("test cannot wait for its child");
  }
  ChildOutcome outcome;
  outcome.exitCode = static_cast<int>(code);
  outcome.standardOutput = readBytes(outputFile_);
  outcome.standardError = readBytes(errorFile_);
  return outcome;
}

void RunningChild::killOutright() { TerminateProcess(static_cast<HANDLE>(process_), 1); }

void adoptOrphans() {}

bool processEnds(long id, std::chrono::milliseconds timeout) {
  const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(id));
  if (process == nullptr) {
    return true;
  }
  const DWORD waited = WaitForSingleObject(process, static_cast<DWORD>(timeout.count()));
  CloseHandle(process);
  return waited == WAIT_OBJECT_0;
}

ChildOutcome runChild(const ChildRequest& request, const std::filesystem::path& captureDirectory) {
  return RunningChild(request, captureDirectory).wait();
}

}  // namespace zq::testing

#endif
