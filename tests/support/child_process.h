#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace zq::testing {

struct ChildRequest {
  std::filesystem::path program;
  std::vector<std::string> arguments;
  std::filesystem::path workingDirectory;
  // nullopt unsets the variable; the rest of this process's environment is passed on.
  std::map<std::string, std::optional<std::string>> environment;
  // Runs in the child just before exec, where getpid() is already the program's identifier.
  // POSIX only: Windows has no point between process creation and the program's start.
  std::function<void()> beforeExec;
};

struct ChildOutcome {
  int exitCode = -1;
  std::string standardOutput;
  std::string standardError;
};

// A started child whose output goes to files in `captureDirectory`.
class RunningChild {
 public:
  RunningChild(const ChildRequest& request, const std::filesystem::path& captureDirectory);
  ChildOutcome wait();
  pid_t id() const { return id_; }
  // Ends the child at once, as SIGKILL or TerminateProcess does, giving it no chance to act.
  void killOutright();

 private:
  pid_t id_ = -1;
#ifdef _WIN32
  void* process_ = nullptr;
#endif
  std::filesystem::path outputFile_;
  std::filesystem::path errorFile_;
};

// Makes this process the one that orphans of its descendants are handed to (Linux), so that
// processEnds can see them end. Windows needs nothing for it.
void adoptOrphans();

// Whether process `id`, a descendant, has ended within `timeout`.
bool processEnds(long id, std::chrono::milliseconds timeout);

ChildOutcome runChild(const ChildRequest& request, const std::filesystem::path& captureDirectory);

}  // namespace zq::testing
