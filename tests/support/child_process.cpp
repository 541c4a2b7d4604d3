#ifndef _WIN32

#include "support/child_process.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

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

ChildOutcome runChild(const ChildRequest& request, const std::filesystem::path& captureDirectory) {
  return RunningChild(request, captureDirectory).wait();
}

}  // namespace zq::testing

#endif
