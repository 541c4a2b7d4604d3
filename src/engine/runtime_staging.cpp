#include "engine/runtime_staging.h"

#include <stdexcept>

#include "engine/native_patch.h"
#include "engine/private_directory.h"
#include "engine/renderer_config.h"
#include "engine/sdk_root.h"
#include "engine/temporary_path.h"
#include "text/text_file.h"

namespace zq {

namespace {

namespace fs = std::filesystem;

// The engine runs inside the copy, so every path it is told about must not depend on our cwd.
fs::path installedRuntimePath(const fs::path& runtimeDirectory) {
  fs::path installed = fs::absolute(runtimeDirectory);
  if (!installed.has_filename() && installed.has_relative_path()) {
    installed = installed.parent_path();
  }
  return installed;
}

void copyTopLevelEntries(const fs::path& from, const fs::path& to) {
  for (const fs::directory_entry& entry : fs::directory_iterator(from)) {
    const fs::path destination = to / entry.path().filename();
    if (entry.is_directory()) {
      fs::copy(entry.path(), destination,
               fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    } else if (entry.is_regular_file()) {
      fs::copy_file(entry.path(), destination, fs::copy_options::overwrite_existing);
    }
  }
}

void writePatchedSettings(const fs::path& installed, const fs::path& staged) {
  const std::optional<fs::path> root = locateSdkRoot(installed);
  if (!root) {
    return;
  }
  const fs::path nativeScript = *root / "sdkjs" / "common" / "Native" / "native.js";
  const RendererConfigPaths config{
      staged / "native_patched.js",
      *root / "sdkjs" / "common" / "Native" / "jquery_native.js",
      *root / "web-apps" / "vendor" / "xregexp" / "xregexp-all-min.js",
      *root / "sdkjs",
  };
  for (const fs::path& required :
       {nativeScript, config.jqueryScript, config.xregexpScript, config.libraryDirectory}) {
    if (!fs::exists(required)) {
      return;
    }
  }
  writeUtf8File(config.patchedNativeScript, patchNativeOpenFileData(readUtf8File(nativeScript)));
  writeUtf8File(staged / "DoctRenderer.config", rendererConfigText(config));
}

}  // namespace

fs::path stagedRuntimePath() { return temporaryRunPath(u"zq_scriptorix_cli_", u""); }

fs::path stageRuntime(const fs::path& runtimeDirectory) {
  if (!fs::exists(runtimeDirectory / "scriptorix.exe")) {
    throw std::runtime_error("scriptorix.exe was not found in runtime directory");
  }
  const fs::path installed = installedRuntimePath(runtimeDirectory);
  const fs::path staged = stagedRuntimePath();
  try {
    createPrivateDirectory(staged);
    copyTopLevelEntries(installed, staged);
    writePatchedSettings(installed, staged);
  } catch (const std::exception&) {
    // The library reports a copy cut short by a full disk as an input/output error.
    if (directoryIsFull(staged.parent_path())) {
      throw temporaryDirectoryFull(staged.parent_path());
    }
    throw;
  }
  return staged;
}

}  // namespace zq
