// scriptorix.exe SCRIPT: runs a workbook script. Exit 0 when it ran to the end, 1 when it
// threw or the runtime could not be loaded (one line on stderr), 2 on a usage error.
#include <filesystem>
#include <iostream>
#include <stdexcept>

#include "js/runtime_config.h"
#include "js/script_file.h"
#include "js/script_runner.h"

namespace {

std::filesystem::path executableDirectory() {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::current_path() : self.parent_path();
}

int run(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "Usage: scriptorix.exe SCRIPT\n";
    return 2;
  }
  std::u16string script;
  try {
    script = sx::readScriptFile(argv[1]);
  } catch (const std::exception& error) {
    std::cerr << "Cannot run the script: " << error.what() << "\n";
    return 2;
  }
  const auto config = sx::findRuntimeConfig(std::filesystem::current_path(), executableDirectory());
  if (!config) {
    std::cerr << "DoctRenderer.config was found neither in the working directory nor beside "
                 "scriptorix.exe\n";
    return 1;
  }
  const sx::RunOutcome outcome = sx::runScript(script, sx::readRuntimeConfig(*config));
  if (outcome.exitCode != 0) std::cerr << outcome.errorLine << "\n";
  return outcome.exitCode;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return run(argc, argv);
  } catch (const std::exception& error) {
    std::cerr << error.what() << "\n";
    return 1;
  }
}
