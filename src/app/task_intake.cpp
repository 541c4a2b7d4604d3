#include "app/task_intake.h"

#include <stdexcept>

#include "app/output_targets.h"
#include "app/runtime_location.h"
#include "json/json_lookup.h"
#include "json/json_parser.h"
#include "text/text_file.h"

namespace zq {

namespace {

std::filesystem::path settleRuntimeDirectory(std::span<const std::u16string> arguments) {
  if (arguments.size() > 1) {
    return std::filesystem::path(arguments[1]);
  }
  const std::filesystem::path fallback = defaultRuntimeDirectory();
  return environmentPath(u"ZQ_SCRIPTORIX_RUNTIME_DIR", fallback);
}

}  // namespace

TaskSettings readTaskSettings(std::span<const std::u16string> arguments) {
  TaskSettings settings;
  settings.task = parseJson(readUtf8File(std::filesystem::path(arguments[0])));
  if (settings.task.kind != JsonKind::Object) {
    throw std::runtime_error("Root JSON value must be an object");
  }
  settings.runtimeDirectory = settleRuntimeDirectory(arguments);
  settings.format = optionalString(settings.task, u"format", u"xlsx");
  settings.outputPath = std::filesystem::path(requireString(settings.task, u"output"));
  settings.resultOutputPath =
      std::filesystem::path(optionalString(settings.task, u"resultOutput", u""));
  checkOutputTargets(settings.outputPath, settings.resultOutputPath);

  const std::filesystem::path outputDirectory = settings.outputPath.parent_path();
  if (!outputDirectory.empty()) {
    std::filesystem::create_directories(outputDirectory);
  }
  return settings;
}

}  // namespace zq
