#include "support/test_environment.h"

#include <cstdlib>
#include <string>
#include <utility>

namespace zq::testing {

namespace {

void setVariable(const std::string& name, const std::optional<std::string>& value) {
#ifdef _WIN32
  // The narrow call would read the bytes in the ANSI code page; the tests give UTF-8.
  const auto wide = [](const std::string& text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end())).wstring();
  };
  _wputenv_s(wide(name).c_str(), value ? wide(*value).c_str() : L"");
#else
  if (value) {
    setenv(name.c_str(), value->c_str(), 1);
  } else {
    unsetenv(name.c_str());
  }
#endif
}

}  // namespace

EnvironmentOverride::EnvironmentOverride(std::string name, const std::optional<std::string>& value)
    : name_(std::move(name)) {
  if (const char* current = std::getenv(name_.c_str())) {
    previous_ = current;
  }
  setVariable(name_, value);
}

EnvironmentOverride::~EnvironmentOverride() { setVariable(name_, previous_); }

TemporaryDirectoryOverride::TemporaryDirectoryOverride(const std::filesystem::path& directory)
    : tmpdir_("TMPDIR", directory.string()),
      tmp_("TMP", directory.string()),
      temp_("TEMP", directory.string()) {}

std::filesystem::path layFakeEngine(const std::filesystem::path& directory) {
  std::filesystem::create_directories(directory);
  const std::filesystem::path engine = directory / "scriptorix.exe";
  std::filesystem::copy_file(ZQ_FAKE_ENGINE_PATH, engine,
                             std::filesystem::copy_options::overwrite_existing);
  return engine;
}

}  // namespace zq::testing
