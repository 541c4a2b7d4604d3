#include "app/run_task.h"

#include <cstdint>
#include <stdexcept>
#include <string>

#include "app/private_file.h"
#include "app/result_output.h"
#include "app/run_cleanup.h"
#include "engine/engine_runner.h"
#include "engine/interruption.h"
#include "engine/runtime_staging.h"
#include "engine/temporary_path.h"
#include "script/script_builder.h"

namespace zq {

void runTask(const TaskSettings& settings) {
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
  const std::u16string script =
      buildScript(settings.task, settings.format, settings.outputPath.u16string(),
                  resultsCsv.u16string(), fs::current_path());
  // An earlier process with the same id may have left answers that are not this run's.
  if (wantsResults) {
    removeStaleFile(resultsCsv);
  }
  writePrivateUtf8File(scriptFile, script);
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
