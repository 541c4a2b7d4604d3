// Structure-aware fuzzing of the workbook reader: inputs are whole packages, and the mutator
// changes the bytes of one part inside the zip and packs it again, so nearly every input gets
// past the zip layer into the XML readers. A package the reader accepts must save, and what
// the engine saves it must read back.
#include <zip.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "io/file_format.h"
#include "io/package_writer.h"
#include "io/xlsx_reader.h"
#include "io/xlsx_writer.h"
#include "io/zip_reader.h"

extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t maxSize);

namespace {

// Small limits keep every run fast; a bigger part is no more interesting to a mutator.
sx::ZipLimits fuzzLimits() {
  sx::ZipLimits limits;
  limits.maxEntries = 200;
  limits.maxEntryBytes = size_t{4} << 20;
  limits.maxTotalBytes = size_t{16} << 20;
  return limits;
}

struct ArchiveDiscard {
  void operator()(zip_t* archive) const { zip_discard(archive); }
};

// The entries as a stored (uncompressed) zip; empty when libzip refuses.
std::string storedZip(const std::vector<sx::ZipEntry>& entries) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
  if (buffer == nullptr) return {};
  zip_source_keep(buffer);
  std::unique_ptr<zip_t, ArchiveDiscard> archive(
      zip_open_from_source(buffer, ZIP_TRUNCATE, &error));
  if (!archive) {
    zip_source_free(buffer);
    return {};
  }
  for (const sx::ZipEntry& entry : entries) {
    zip_source_t* data = zip_source_buffer(archive.get(), entry.data.data(), entry.data.size(), 0);
    const zip_int64_t index =
        zip_file_add(archive.get(), entry.name.c_str(), data, ZIP_FL_ENC_UTF_8);
    if (index < 0) {
      zip_source_free(data);
      zip_source_free(buffer);
      return {};
    }
    zip_set_file_compression(archive.get(), static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
  }
  if (zip_close(archive.release()) != 0) {
    zip_source_free(buffer);
    return {};
  }
  std::string bytes;
  zip_stat_t stat;
  if (zip_source_stat(buffer, &stat) == 0 && zip_source_open(buffer) == 0) {
    bytes.resize(stat.size);
    const zip_int64_t got = zip_source_read(buffer, bytes.data(), bytes.size());
    bytes.resize(got > 0 ? static_cast<size_t>(got) : 0);
    zip_source_close(buffer);
  }
  zip_source_free(buffer);
  return bytes;
}

bool isMarkup(const std::string& name) { return name.ends_with(".xml") || name.ends_with(".rels"); }

}  // namespace

extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* data, size_t size, size_t maxSize,
                                          unsigned seed) {
  std::vector<sx::ZipEntry> entries;
  try {
    entries = sx::readZipArchive(std::string_view(reinterpret_cast<const char*>(data), size),
                                 fuzzLimits());
  } catch (const std::exception&) {
    return LLVMFuzzerMutate(data, size, maxSize);  // not a package (yet): plain byte mutation
  }
  std::vector<size_t> markup;
  for (size_t i = 0; i < entries.size(); ++i) {
    if (isMarkup(entries[i].name)) markup.push_back(i);
  }
  if (markup.empty()) return LLVMFuzzerMutate(data, size, maxSize);
  std::string& part = entries[markup[seed % markup.size()]].data;
  // Room for the part to grow by what the rest of the package leaves free, at least 1 KiB.
  const size_t room = part.size() + std::max<size_t>(maxSize > size ? maxSize - size : 0, 1024);
  const size_t original = part.size();
  part.resize(room);
  part.resize(LLVMFuzzerMutate(reinterpret_cast<uint8_t*>(part.data()), original, room));
  const std::string packed = storedZip(entries);
  if (packed.empty() || packed.size() > maxSize) return LLVMFuzzerMutate(data, size, maxSize);
  std::memcpy(data, packed.data(), packed.size());
  return packed.size();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::unique_ptr<sx::Workbook> workbook;
  try {
    workbook = sx::readXlsxWorkbook(std::string_view(reinterpret_cast<const char*>(data), size));
  } catch (const std::exception&) {
    return 0;  // a clear rejection is the right answer to a malformed package
  }
  std::string saved;
  try {
    saved = sx::writePackage(sx::buildWorkbookParts(*workbook, sx::FileFormat::Xlsx));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "an accepted package does not save: %s\n", error.what());
    std::abort();
  }
  try {
    sx::readXlsxWorkbook(saved);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "the engine does not read back what it saved: %s\n", error.what());
    std::abort();
  }
  return 0;
}
