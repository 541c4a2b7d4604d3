#ifndef _WIN32

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>
#include <string>

#include "engine/engine_runner.h"

namespace zq {

namespace {

constexpr int kSignalExitBase = 128;

std::runtime_error startFailure() {
  return std::runtime_error("CreateProcessW(scriptorix.exe) failed");
}

// Only async-signal-safe calls between fork and exec. A failure sends errno up the
// close-on-exec pipe, so the parent learns of it instead of seeing an exit code.
[[noreturn]] void startChild(int reportPipe, const char* directory, char* const argv[]) {
  if (chdir(directory) == 0) {
    execv(argv[0], argv);
  }
  const int error = errno;
  if (write(reportPipe, &error, sizeof(error)) < 0) {
    // Nothing more can be told; the parent then sees exit code 127.
  }
  _exit(127);
}

int waitForChild(pid_t child) {
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) {
      return 1;
    }
  }
  if (WIFEXITED(status)) {
    return WEXITSTATUS(status);
  }
  if (WIFSIGNALED(status)) {
    return kSignalExitBase + WTERMSIG(status);
  }
  return 1;
}

}  // namespace

std::int32_t runEngine(const std::filesystem::path& engine, const std::filesystem::path& script,
                       const std::filesystem::path& workingDirectory) {
  // The child changes directory before exec, so a relative engine path would resolve wrongly.
  std::string enginePath = std::filesystem::absolute(engine).string();
  std::string scriptPath = script.string();
  const std::string directory = workingDirectory.string();
  char* const argv[] = {enginePath.data(), scriptPath.data(), nullptr};

  int reportPipe[2];
  if (pipe2(reportPipe, O_CLOEXEC) != 0) {
    throw startFailure();
  }
  const pid_t child = fork();
  if (child < 0) {
    close(reportPipe[0]);
    close(reportPipe[1]);
    throw startFailure();
  }
  if (child == 0) {
    close(reportPipe[0]);
    startChild(reportPipe[1], directory.c_str(), argv);
  }
  close(reportPipe[1]);

  int childError = 0;
  ssize_t reported = 0;
  do {
    reported = read(reportPipe[0], &childError, sizeof(childError));
  } while (reported < 0 && errno == EINTR);
  close(reportPipe[0]);

  const int exitCode = waitForChild(child);
  if (reported > 0) {
    throw startFailure();
  }
  return exitCode;
}

}  // namespace zq

#endif
