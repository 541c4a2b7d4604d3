#include "io/workbook_file.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include "io/atomic_file.h"
#include "io/csv.h"
#include "io/package_writer.h"
#include "io/xlsx_reader.h"
#include "io/xlsx_writer.h"
#include "core/utf.h"

namespace sx {

namespace {

// Far beyond any real workbook a script edits; a larger file is refused before it is read.
constexpr std::uintmax_t kMaxInputBytes = std::uintmax_t{1} << 30;

std::string readWholeFile(const std::filesystem::path& path) {
  std::error_code error;
  const auto status = std::filesystem::status(path, error);
  if (error || !std::filesystem::exists(status)) {
    throw std::runtime_error("Cannot open \"" + path.string() + "\": the file does not exist");
  }
  if (std::filesystem::is_directory(status)) {
    throw std::runtime_error("Cannot open \"" + path.string() + "\": it is a folder, not a file");
  }
  if (std::filesystem::is_regular_file(status) && std::filesystem::file_size(path, error) > kMaxInputBytes) {
    throw std::runtime_error("Cannot open \"" + path.string() + "\": the file is larger than 1 GiB");
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("Cannot open \"" + path.string() + "\": the file cannot be read");
  std::ostringstream content;
  content << in.rdbuf();
  if (in.bad()) throw std::runtime_error("Cannot read \"" + path.string() + "\"");
  return std::move(content).str();
}

// A sheet name made from the file name, within the naming rules.
std::u16string sheetNameFor(const std::filesystem::path& path) {
  std::u16string name = fromUtf8(path.stem().string());
  for (char16_t& c : name) {
    if (std::u16string_view(u"[]:*?/\\").find(c) != std::u16string_view::npos) c = u'_';
  }
  while (!name.empty() && name.front() == u'\'') name.erase(name.begin());
  if (name.size() > 31) name.resize(31);
  while (!name.empty() && name.back() == u'\'') name.pop_back();
  return name.empty() ? u"Sheet1" : name;
}

}  // namespace

std::unique_ptr<Workbook> openWorkbook(const std::filesystem::path& path) {
  const std::string bytes = readWholeFile(path);
  if (bytes.rfind("PK\x03\x04", 0) == 0) {
    try {
      return readXlsxWorkbook(bytes);
    } catch (const std::exception& error) {
      throw std::runtime_error("Cannot open \"" + path.string() + "\": " + error.what());
    }
  }
  auto workbook = std::make_unique<Workbook>(false);
  Sheet& sheet = workbook->addSheet(sheetNameFor(path));
  try {
    readCsv(bytes, sheet);
  } catch (const std::exception& error) {
    throw std::runtime_error("Cannot open \"" + path.string() + "\": " + error.what());
  }
  return workbook;
}

void saveWorkbook(const Workbook& workbook, FileFormat format, const std::filesystem::path& path) {
  if (format == FileFormat::Csv) {
    writeFileAtomically(path, writeCsv(workbook.activeSheet()));
  } else {
    writeFileAtomically(path, writePackage(buildWorkbookParts(workbook, format)));
  }
}

}  // namespace sx
