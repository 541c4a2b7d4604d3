#include "app/run_task.h"

#include <cstdint>
#include <stdexcept>
#include <string>

#include "app/freed_memory.h"
#include "app/private_file.h"
#include "app/result_output.h"
#include "app/run_cleanup.h"
#include "engine/engine_runner.h"
#include "engine/interruption.h"
#include "engine/runtime_staging.h"
#include "engine/temporary_path.h"
#include "script/script_builder.h"

namespace zq {

namespace {

// Writes the task's script and releases the task: neither is needed while the engine runs.
void writeScript(TaskSettings& settings, const std::filesystem::path& scriptFile,
                 const std::filesystem::path& resultsCsv) {
  {
    const JsonValue task = std::move(settings.task);
    settings.task = JsonValue{};
    const std::u16string script =
        buildScript(task, settings.format, settings.outputPath.u16string(), resultsCsv.u16string(),
                    std::filesystem::current_path());
    writePrivateUtf8File(scriptFile, script);
  }
  returnFreedMemory();
}

}  // namespace

void runTask(TaskSettings& settings) {
  namespace fs = std::filesystem;
  // Held before anything is created, and released only after the cleanup below has run.
  const InterruptionHold interruptions;
  const bool wantsResults = !settings.resultOutputPath.empty();
  const fs::path resultsCsv =
      wantsResults ? temporaryRunPath(u"zq_scriptorix_results_", u".csv") : fs::path();
  const fs::path scriptFile = temporaryRunPath(u"zq_scriptorix_task_", u".scriptorix");
  const RunCleanup cleanup({scriptFile, resultsCsv}, stagedRuntimePath());

  const fs::path staged = stageRuntime(settings.runtimeDirectory);
  stopIfInterrupted();
  // An earlier process with the same id may have left answers that are not this run's.
  if (wantsResults) {
    removeStaleFile(resultsCsv);
  }
  writeScript(settings, scriptFile, resultsCsv);
  stopIfInterrupted();

  const std::int32_t exitCode = runEngine(staged / "scriptorix.exe", scriptFile, staged);
  if (exitCode != 0) {
    throw std::runtime_error("scriptorix.exe failed with code " + std::to_string(exitCode));
  }
  // Only a regular file counts: a directory of that name is no saved workbook.
  if (!fs::is_regular_file(settings.outputPath)) {
    throw std::runtime_error("Output file was not created");
  }
  stopIfInterrupted();
  if (wantsResults) {
    writeResultOutput(resultsCsv, settings.resultOutputPath);
  }
}

}  // namespace zq
