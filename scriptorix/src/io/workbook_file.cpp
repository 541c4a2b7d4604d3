#include "io/workbook_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <stdexcept>

#include "io/atomic_file.h"
#include "io/csv.h"
#include "io/input_kind.h"
#include "io/package_writer.h"
#include "io/xlsx_reader.h"
#include "io/xlsx_writer.h"
#include "core/utf.h"

namespace sx {

namespace {

// Far beyond any real workbook a script edits; a larger file is refused before it is read,
// and the engine saves nothing larger, so whatever it saves it can open.
constexpr std::uintmax_t kMaxInputBytes = std::uintmax_t{1} << 30;

[[noreturn]] void refuseToOpen(const std::filesystem::path& path, const std::string& why) {
  throw std::runtime_error("Cannot open \"" + path.string() + "\": " + why);
}

// Closes the descriptor on every way out.
struct InputFile {
  int fd;
  ~InputFile() { ::close(fd); }
};

void checkRegularFile(const std::filesystem::path& path, const struct stat& status) {
  if (S_ISDIR(status.st_mode)) refuseToOpen(path, "it is a folder, not a file");
  if (!S_ISREG(status.st_mode)) {
    refuseToOpen(path, "it is not a regular file (a device, pipe or socket is never read)");
  }
  if (static_cast<std::uintmax_t>(status.st_size) > kMaxInputBytes) {
    refuseToOpen(path, "the file is larger than 1 GiB");
  }
}

// Only a regular file is read: a device (/dev/zero) never ends and a FIFO without a writer
// never answers. It is checked before opening, so opening has no effect on a device, and again
// on the opened descriptor (opened with O_NONBLOCK, so a FIFO swapped in cannot make it wait).
std::string readWholeFile(const std::filesystem::path& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) refuseToOpen(path, "the file does not exist");
    refuseToOpen(path, std::string("the file cannot be read (") + std::strerror(errno) + ")");
  }
  checkRegularFile(path, status);
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0)
    refuseToOpen(path, std::string("the file cannot be read (") + std::strerror(errno) + ")");
  const InputFile file{fd};
  if (::fstat(fd, &status) != 0) refuseToOpen(path, "the file cannot be read");
  checkRegularFile(path, status);
  std::string content;
  content.reserve(static_cast<size_t>(status.st_size));
  std::array<char, 65536> buffer{};
  for (;;) {
    const ssize_t got = ::read(fd, buffer.data(), buffer.size());
    if (got == 0) break;
    if (got < 0 && errno == EINTR) continue;
    if (got < 0)
      refuseToOpen(path, std::string("the file cannot be read (") + std::strerror(errno) + ")");
    // The size is checked again while reading: the file may grow after fstat.
    if (content.size() + static_cast<size_t>(got) > kMaxInputBytes) {
      refuseToOpen(path, "the file is larger than 1 GiB");
    }
    content.append(buffer.data(), static_cast<size_t>(got));
  }
  return content;
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
      return "it is an encrypted or password-protected workbook; remove the password and save it "
             "again";
    case InputKind::LegacyWorkbook:
      return "Excel 97-2003 .xls workbooks are not supported; save it as .xlsx";
    case InputKind::CompoundFile:
      return "it is an OLE compound file, not a workbook package or CSV text";
    case InputKind::Binary:
      break;
  }
  if (path.filename().string().starts_with("~$")) {
    return "it is the lock file the spreadsheet application keeps beside an open workbook, not a "
           "workbook";
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
    try {
      writeFileAtomically(path, [&](const ByteSink& write) {
        writeCsv(workbook.activeSheet(), write, kMaxInputBytes);
      });
    } catch (const std::length_error& error) {
      throw std::runtime_error("Cannot save \"" + path.string() + "\": " + error.what());
    }
  } else {
    const std::string package = writePackage(buildWorkbookParts(workbook, format));
    if (package.size() > kMaxInputBytes) {
      throw std::runtime_error(
          "Cannot save \"" + path.string() +
          "\": the package would be larger than 1 GiB, more than a file the engine opens");
    }
    writeFileAtomically(path, package);
  }
}

}  // namespace sx
