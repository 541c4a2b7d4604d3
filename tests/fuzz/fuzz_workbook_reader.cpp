// Feeds arbitrary bytes to the engine's workbook reader, as a package or as CSV text. A file it
// accepts must save and read back: the writer may not choke on anything the reader let through,
// and a saved workbook must open and save to the same bytes every time after.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <system_error>

#include "io/workbook_file.h"

namespace {

namespace fs = std::filesystem;

// One folder per fuzzing process, RAM-backed where the system has it since every input is a
// file; removed when the fuzzer exits.
struct ScratchFolder {
  ScratchFolder() {
    const fs::path base = fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    path = base / ("zq_fuzz_workbook_" + std::to_string(getpid()));
    fs::create_directories(path);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
  }
  fs::path path;
};

const fs::path& scratchFolder() {
  static const ScratchFolder folder;
  return folder.path;
}

void writeInput(const fs::path& path, const uint8_t* data, size_t size) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  if (!file) {
    std::fprintf(stderr, "cannot write the fuzz input to %s\n", path.c_str());
    std::abort();
  }
}

std::string readBack(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fs::path input = scratchFolder() / "input.xlsx";
  const fs::path saved = scratchFolder() / "saved.xlsx";
  writeInput(input, data, size);

  std::unique_ptr<sx::Workbook> workbook;
  try {
    workbook = sx::openWorkbook(input);
  } catch (const std::exception&) {
    return 0;  // a clear rejection is the right answer to a malformed file
  }
  try {
    sx::saveWorkbook(*workbook, sx::FileFormat::Xlsx, saved);
    // Once a workbook has been through a save, opening and saving it again gives the same bytes.
    sx::saveWorkbook(*sx::openWorkbook(saved), sx::FileFormat::Xlsx, saved);
    const std::string second = readBack(saved);
    sx::saveWorkbook(*sx::openWorkbook(saved), sx::FileFormat::Xlsx, saved);
    if (readBack(saved) != second) {
      std::fprintf(stderr, "a saved workbook does not save again to the same bytes\n");
      std::abort();
    }
    sx::saveWorkbook(*workbook, sx::FileFormat::Csv, saved);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "an accepted workbook does not round-trip: %s\n", error.what());
    std::abort();
  }
  return 0;
}
