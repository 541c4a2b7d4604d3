#ifndef _WIN32

#include <fcntl.h>
#include <pthread.h>
#include <sys/wait.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif

#include <cerrno>
#include <csignal>
#include <ctime>
#include <stdexcept>
#include <string>

#include "engine/engine_runner.h"
#include "engine/interruption.h"

namespace zq {

namespace {

constexpr int kSignalExitBase = 128;
// A safety net only: SIGCHLD and the held signals end each wait at once.
constexpr long kWaitSliceNanoseconds = 200'000'000;

std::runtime_error startFailure() {
  return std::runtime_error("CreateProcessW(scriptorix.exe) failed");
}

// What the wait for the engine wakes for: its end and the held interruptions.
sigset_t wakeSignals() {
  sigset_t wake = heldInterruptions();
  sigaddset(&wake, SIGCHLD);
  return wake;
}

// Only async-signal-safe calls between fork and exec. A failure sends errno up the
// close-on-exec pipe, so the parent learns of it instead of seeing an exit code.
[[noreturn]] void startChild(int reportPipe, pid_t parent, const sigset_t& wake,
                             const char* directory, char* const argv[]) {
  // A group of its own, so that stopping the engine reaches whatever it starts, and a Ctrl+C on
  // the terminal reaches the helper alone, which then stops the engine.
  setpgid(0, 0);
#ifdef __linux__
  // The engine dies with the helper, even one killed outright. A helper that died before this
  // call would go unnoticed, hence the look at the parent afterwards.
  if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || getppid() != parent) {
    _exit(127);
  }
#else
  static_cast<void>(parent);
#endif
  pthread_sigmask(SIG_UNBLOCK, &wake, nullptr);
  if (chdir(directory) == 0) {
    execv(argv[0], argv);
  }
  const int error = errno;
  if (write(reportPipe, &error, sizeof(error)) < 0) {
    // Nothing more can be told; the parent then sees exit code 127.
  }
  _exit(127);
}

int exitStatus(int status) {
  if (WIFEXITED(status)) {
    return WEXITSTATUS(status);
  }
  if (WIFSIGNALED(status)) {
    return kSignalExitBase + WTERMSIG(status);
  }
  return 1;
}

void stopChild(pid_t child) {
  kill(-child, SIGKILL);
  kill(child, SIGKILL);
  while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
  }
}

// Waits for the engine to end; a held interruption stops it and fails the run instead.
int waitForChild(pid_t child, const sigset_t& wake) {
  const timespec slice{0, kWaitSliceNanoseconds};
  for (;;) {
    int status = 0;
    const pid_t ended = waitpid(child, &status, WNOHANG);
    if (ended == child) {
      return exitStatus(status);
    }
    if (ended < 0 && errno != EINTR) {
      return 1;
    }
    const int taken = sigtimedwait(&wake, nullptr, &slice);
    if (taken > 0 && taken != SIGCHLD) {
      stopChild(child);
      failInterrupted(taken);
    }
  }
}

// SIGCHLD is held while the engine runs, so that its end wakes the wait. A caller that set it to
// SIG_IGN would have the engine reaped unseen and its exit status lost, so it is the default here.
class ChildSignalHold {
 public:
  explicit ChildSignalHold(const sigset_t& wake) {
    struct sigaction standard {};
    standard.sa_handler = SIG_DFL;
    sigaction(SIGCHLD, &standard, &previousAction_);
    pthread_sigmask(SIG_BLOCK, &wake, &previousMask_);
  }
  ~ChildSignalHold() {
    pthread_sigmask(SIG_SETMASK, &previousMask_, nullptr);
    sigaction(SIGCHLD, &previousAction_, nullptr);
  }
  ChildSignalHold(const ChildSignalHold&) = delete;
  ChildSignalHold& operator=(const ChildSignalHold&) = delete;

 private:
  struct sigaction previousAction_ {};
  sigset_t previousMask_;
};

}  // namespace

std::int32_t runEngine(const std::filesystem::path& engine, const std::filesystem::path& script,
                       const std::filesystem::path& workingDirectory) {
  // The child changes directory before exec, so a relative engine path would resolve wrongly.
  std::string enginePath = std::filesystem::absolute(engine).string();
  std::string scriptPath = script.string();
  const std::string directory = workingDirectory.string();
  char* const argv[] = {enginePath.data(), scriptPath.data(), nullptr};

  const sigset_t wake = wakeSignals();
  const ChildSignalHold hold(wake);
  int reportPipe[2];
  if (pipe2(reportPipe, O_CLOEXEC) != 0) {
    throw startFailure();
  }
  const pid_t parent = getpid();
  const pid_t child = fork();
  if (child < 0) {
    close(reportPipe[0]);
    close(reportPipe[1]);
    throw startFailure();
  }
  if (child == 0) {
    close(reportPipe[0]);
    startChild(reportPipe[1], parent, wake, directory.c_str(), argv);
  }
  // Also here: whichever of the two runs first, the group exists before it can be stopped.
  setpgid(child, child);
  close(reportPipe[1]);

  int childError = 0;
  ssize_t reported = 0;
  do {
    reported = read(reportPipe[0], &childError, sizeof(childError));
  } while (reported < 0 && errno == EINTR);
  close(reportPipe[0]);

  const int exitCode = waitForChild(child, wake);
  if (reported > 0) {
    throw startFailure();
  }
  return exitCode;
}

}  // namespace zq

#endif
