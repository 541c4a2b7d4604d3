// Stand-in engine for the helper's tests. It records how it was started, then walks the script:
//   builder.SaveFile("fmt", "path");   writes a small file at path (the csv one gets the text
//   below)
//   // result-csv: TEXT                 TEXT becomes the content of csv saves
//   // skip-save: FMT                   later saves in that format write nothing
//   // exit: N                          ends here with exit code N
//   // signal: N                        raises signal N
//   // sleep-ms: N                      pauses
// The record goes to the file named by ZQ_FAKE_ENGINE_RECORD, if set; paths in it are UTF-8. On
// Linux it tells how much memory the helper keeps resident while the engine runs
// ("helper-rss-kib=N"). Its last line, "pid=N", tells that the engine is under way.
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <process.h>
#define ZQ_ENVIRONMENT _environ
#else
#include <unistd.h>
extern char** environ;
#define ZQ_ENVIRONMENT environ
#endif

namespace {

namespace fs = std::filesystem;

long processId() {
#ifdef _WIN32
  return _getpid();
#else
  return getpid();
#endif
}

std::string utf8(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

// Script text is UTF-8; a plain narrow path would be read in the ANSI code page on Windows.
fs::path utf8Path(const std::string& text) {
  return fs::path(std::u8string(text.begin(), text.end()));
}

void writeRecord(const std::vector<fs::path>& arguments) {
  const char* recordPath = std::getenv("ZQ_FAKE_ENGINE_RECORD");
  if (recordPath == nullptr) {
    return;
  }
  std::ofstream record(utf8Path(recordPath), std::ios::binary | std::ios::trunc);
  record << "argc=" << arguments.size() << "\n";
  for (const fs::path& argument : arguments) {
    record << "arg=" << utf8(argument) << "\n";
  }
  record << "cwd=" << utf8(fs::current_path()) << "\n";
  for (const fs::directory_entry& entry : fs::directory_iterator(fs::current_path())) {
    record << "entry=" << utf8(entry.path().filename()) << "\n";
  }
  for (char** variable = ZQ_ENVIRONMENT; *variable != nullptr; ++variable) {
    record << "env=" << *variable << "\n";
  }
#ifdef __linux__
  std::ifstream parent("/proc/" + std::to_string(getppid()) + "/status");
  for (std::string line; std::getline(parent, line);) {
    if (line.rfind("VmRSS:", 0) == 0)
      record << "helper-rss-kib=" << std::stol(line.substr(6)) << "\n";
  }
#endif
  record << "pid=" << processId() << "\n";
}

// Reads one double-quoted script literal at `position`, undoing the helper's escapes.
std::optional<std::string> readLiteral(const std::string& line, std::size_t& position) {
  position = line.find('"', position);
  if (position == std::string::npos) {
    return std::nullopt;
  }
  std::string text;
  for (++position; position < line.size(); ++position) {
    const char unit = line[position];
    if (unit == '"') {
      ++position;
      return text;
    }
    if (unit == '\\' && position + 1 < line.size()) {
      const char escaped = line[++position];
      text += escaped == 'n' ? '\n' : escaped == 'r' ? '\r' : escaped == 't' ? '\t' : escaped;
    } else {
      text += unit;
    }
  }
  return std::nullopt;
}

std::optional<std::string> markerValue(const std::string& line, const std::string& marker) {
  const std::string prefix = "// " + marker + ": ";
  if (line.rfind(prefix, 0) != 0) {
    return std::nullopt;
  }
  return line.substr(prefix.size());
}

int runFakeEngine(const std::vector<fs::path>& arguments) {
  writeRecord(arguments);
  if (arguments.size() != 1) {
    return 2;
  }
  std::ifstream scriptFile(arguments[0], std::ios::binary);
  if (!scriptFile) {
    return 2;
  }
  std::string csvText;
  std::set<std::string> skippedFormats;
  std::string line;
  while (std::getline(scriptFile, line)) {
    if (auto code = markerValue(line, "exit")) {
      return std::stoi(*code);
    }
    if (auto number = markerValue(line, "signal")) {
      std::raise(std::stoi(*number));
      return 1;
    }
    if (auto milliseconds = markerValue(line, "sleep-ms")) {
      std::this_thread::sleep_for(std::chrono::milliseconds(std::stoi(*milliseconds)));
    } else if (auto text = markerValue(line, "result-csv")) {
      csvText = *text;
    } else if (auto format = markerValue(line, "skip-save")) {
      skippedFormats.insert(*format);
    } else if (std::size_t position = line.find("builder.SaveFile(");
               position != std::string::npos) {
      const std::optional<std::string> saveFormat = readLiteral(line, position);
      const std::optional<std::string> savePath = readLiteral(line, position);
      if (!saveFormat || !savePath) {
        return 1;
      }
      if (skippedFormats.count(*saveFormat) == 0) {
        std::ofstream saved(utf8Path(*savePath), std::ios::binary | std::ios::trunc);
        saved << (*saveFormat == "csv" ? csvText : "workbook " + *saveFormat);
        if (!saved) {
          return 1;
        }
      }
    }
  }
  return 0;
}

}  // namespace

// Wide arguments on Windows, so paths outside the ANSI code page arrive intact.
#ifdef _WIN32
int wmain(int argc, wchar_t** argv) { return runFakeEngine({argv + 1, argv + argc}); }
#else
int main(int argc, char** argv) {
  std::vector<fs::path> arguments;
  for (int index = 1; index < argc; ++index) {
    arguments.push_back(utf8Path(argv[index]));
  }
  return runFakeEngine(arguments);
}
#endif
