#include "io/zip_reader.h"

#include <zip.h>

#include <algorithm>
#include <memory>
#include <set>
#include <stdexcept>

#include "io/zip_directory.h"

namespace sx {

namespace {

[[noreturn]] void fail(const std::string& why) {
  throw std::runtime_error("not a readable workbook package: " + why);
}

struct ArchiveCloser {
  void operator()(zip_t* archive) const { zip_discard(archive); }
};
struct FileCloser {
  void operator()(zip_file_t* file) const { zip_fclose(file); }
};

// Names that could step out of the package or collide once case is ignored are refused.
void checkName(const std::string& name, std::set<std::string>& seen) {
  if (name.empty() || name.front() == '/' || name.find('\0') != std::string::npos) {
    fail("the entry name \"" + name + "\" is not a package path");
  }
  size_t start = 0;
  while (start <= name.size()) {
    const size_t end = std::min(name.find('/', start), name.size());
    const std::string_view segment(name.data() + start, end - start);
    if (segment == "." || segment == "..")
      fail("the entry name \"" + name + "\" leaves the package");
    start = end + 1;
  }
  std::string folded;
  for (char c : name) folded += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  if (!seen.insert(folded).second) fail("the entry \"" + name + "\" appears twice");
}

std::string readEntry(zip_t* archive, zip_uint64_t index, const std::string& name,
                      uint64_t compressed, uint64_t budget, const ZipLimits& limits) {
  std::unique_ptr<zip_file_t, FileCloser> file(zip_fopen_index(archive, index, 0));
  if (!file) fail("the entry \"" + name + "\" cannot be read (" + zip_strerror(archive) + ")");
  std::string data;
  char buffer[1 << 16];
  while (true) {
    const zip_int64_t got = zip_fread(file.get(), buffer, sizeof buffer);
    if (got < 0) {
      fail("the entry \"" + name + "\" is damaged (" + zip_file_strerror(file.get()) + ")");
    }
    if (got == 0) break;
    data.append(buffer, static_cast<size_t>(got));
    if (data.size() > limits.maxEntryBytes) fail("the entry \"" + name + "\" unpacks too large");
    if (data.size() > budget) fail("the package unpacks to more than its limit");
    if (data.size() > limits.ratioFloorBytes && data.size() / (compressed + 1) > limits.maxRatio) {
      fail("the entry \"" + name + "\" is compressed beyond any real workbook (a zip bomb)");
    }
  }
  return data;
}

}  // namespace

std::vector<ZipEntry> readZipArchive(std::string_view bytes, const ZipLimits& limits) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
  if (!source) fail(zip_error_strerror(&error));
  // Entries are found through the central directory, as other readers do; a local header that
  // disagrees with it in details (sizes left out, flags) does not make the package unreadable.
  zip_t* raw = zip_open_from_source(source, ZIP_RDONLY, &error);
  if (!raw) {
    std::string why = zip_error_strerror(&error);
    if (zip_error_code_zip(&error) == ZIP_ER_EXISTS) {
      const auto repeated = firstRepeatedEntryName(bytes);
      why = repeated ? "the entry \"" + *repeated + "\" appears twice"
                     : "an entry name appears twice";
    }
    zip_source_free(source);
    zip_error_fini(&error);
    fail(why);
  }
  std::unique_ptr<zip_t, ArchiveCloser> archive(raw);
  const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
  if (count < 0 || static_cast<uint64_t>(count) > limits.maxEntries) fail("too many entries");

  std::vector<ZipEntry> entries;
  std::set<std::string> seen;
  uint64_t total = 0;
  for (zip_uint64_t i = 0; i < static_cast<zip_uint64_t>(count); ++i) {
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(archive.get(), i, 0, &stat) != 0 || !(stat.valid & ZIP_STAT_NAME)) {
      fail("an entry cannot be listed");
    }
    std::string name = stat.name;
    // Some writers separate folders with backslashes; readers take them as slashes.
    std::replace(name.begin(), name.end(), '\\', '/');
    if (!name.empty() && name.back() == '/') continue;  // a folder
    checkName(name, seen);
    const uint64_t compressed = (stat.valid & ZIP_STAT_COMP_SIZE) ? stat.comp_size : 0;
    std::string data =
        readEntry(archive.get(), i, name, compressed, limits.maxTotalBytes - total, limits);
    total += data.size();
    entries.push_back({std::move(name), std::move(data)});
  }
  return entries;
}

}  // namespace sx
