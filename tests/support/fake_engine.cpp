// Stand-in engine for the helper's tests. It records how it was started, then walks the script:
//   builder.SaveFile("fmt", "path");   writes a small file at path (the csv one gets the text below)
//   // result-csv: TEXT                 TEXT becomes the content of csv saves
//   // skip-save: FMT                   later saves in that format write nothing
//   // exit: N                          ends here with exit code N
//   // signal: N                        raises signal N
//   // sleep-ms: N                      pauses
// The record goes to the file named by ZQ_FAKE_ENGINE_RECORD, if set.
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#define ZQ_ENVIRONMENT _environ
#else
extern char** environ;
#define ZQ_ENVIRONMENT environ
#endif

namespace {

namespace fs = std::filesystem;

void writeRecord(int argc, char** argv) {
  const char* recordPath = std::getenv("ZQ_FAKE_ENGINE_RECORD");
  if (recordPath == nullptr) {
    return;
  }
  std::ofstream record(recordPath, std::ios::binary | std::ios::trunc);
  record << "argc=" << argc - 1 << "\n";
  for (int index = 1; index < argc; ++index) {
    record << "arg=" << argv[index] << "\n";
  }
  record << "cwd=" << fs::current_path().string() << "\n";
  for (const fs::directory_entry& entry : fs::directory_iterator(fs::current_path())) {
    record << "entry=" << entry.path().filename().string() << "\n";
  }
  for (char** variable = ZQ_ENVIRONMENT; *variable != nullptr; ++variable) {
    record << "env=" << *variable << "\n";
  }
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

}  // namespace

int main(int argc, char** argv) {
  writeRecord(argc, argv);
  if (argc != 2) {
    return 2;
  }
  std::ifstream scriptFile(argv[1], std::ios::binary);
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
        std::ofstream saved(fs::path(*savePath), std::ios::binary | std::ios::trunc);
        saved << (*saveFormat == "csv" ? csvText : "workbook " + *saveFormat);
        if (!saved) {
          return 1;
        }
      }
    }
  }
  return 0;
}
