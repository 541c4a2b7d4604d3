#include "app/helper_main.h"

#include <exception>

#include "app/console.h"
#include "app/run_task.h"
#include "app/task_intake.h"

namespace zq {

int helperMain(std::span<const std::u16string> argv) {
  if (argv.size() < 2) {
    writeUsage();
    return 2;
  }
  // Only the exact words: a task file of such a name is still reachable as ./--help.
  if (argv[1] == u"--help" || argv[1] == u"-h") {
    writeHelp();
    return 0;
  }
  if (argv[1] == u"--version") {
    writeVersion();
    return 0;
  }
  try {
    TaskSettings settings = readTaskSettings(argv.subspan(1));
    runTask(settings);
    writeCreatedLine(settings.outputPath);
    return 0;
  } catch (const std::exception& failure) {
    writeErrorLine(failure.what());
    return 1;
  }
}

}  // namespace zq
