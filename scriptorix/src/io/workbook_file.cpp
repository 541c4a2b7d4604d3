#include "io/workbook_file.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include "io/atomic_file.h"
#include "io/csv.h"
#include "io/input_kind.h"
#include "io/package_writer.h"
#include "io/xlsx_reader.h"
#include "io/xlsx_writer.h"
#include "model/utf.h"

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

// Why a file that is neither a package nor text is not read, or empty when it is either.
std::string refusalFor(InputKind kind, const std::filesystem::path& path) {
  switch (kind) {
    case InputKind::Package:
    case InputKind::Text:
      return {};
    case InputKind::Empty:
      return "the file is empty";
    case InputKind::EncryptedWorkbook:
      return "it is an encrypted or password-protected workbook; remove the password and save it again";
    case InputKind::LegacyWorkbook:
      return "Excel 97-2003 .xls workbooks are not supported; save it as .xlsx";
    case InputKind::CompoundFile:
      return "it is an OLE compound file, not a workbook package or CSV text";
    case InputKind::Binary:
      break;
  }
  if (path.filename().string().starts_with("~$")) {
    return "it is the lock file the spreadsheet application keeps beside an open workbook, not a workbook";
  }
  return "it is neither a workbook package nor UTF-8 text";
}

}  // namespace

std::unique_ptr<Workbook> openWorkbook(const std::filesystem::path& path) {
  const std::string bytes = readWholeFile(path);
  InputKind kind = inputKindOf(bytes);
  // An empty .csv is an empty table; any other empty file is a damaged workbook.
  if (kind == InputKind::Empty && path.extension() == ".csv") kind = InputKind::Text;
  if (const std::string refusal = refusalFor(kind, path); !refusal.empty()) {
    throw std::runtime_error("Cannot open \"" + path.string() + "\": " + refusal);
  }
  if (kind == InputKind::Package) {
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
