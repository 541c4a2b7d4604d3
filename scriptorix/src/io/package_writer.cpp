#include "io/package_writer.h"

#include <zip.h>

#include <memory>
#include <stdexcept>

#include "io/xml_text.h"
#include "io/zip_reader.h"

namespace sx {

namespace {

constexpr const char* kContentTypesNamespace =
    "http://schemas.openxmlformats.org/package/2006/content-types";

std::string contentTypesXml(const std::vector<PackagePart>& parts) {
  std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
  xml += "<Types xmlns=\"" + std::string(kContentTypesNamespace) + "\">";
  xml +=
      "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package."
      "relationships+xml\"/>";
  xml += "<Default Extension=\"xml\" ContentType=\"application/xml\"/>";
  for (const PackagePart& part : parts) {
    if (part.contentType.empty()) continue;
    xml += "<Override PartName=\"/" + xmlAttribute(part.name) + "\" ContentType=\"" +
           xmlAttribute(part.contentType) + "\"/>";
  }
  return xml + "</Types>";
}

[[noreturn]] void zipFailure(const char* step, zip_error_t* error) {
  throw std::runtime_error(std::string("Cannot build the workbook package (") + step +
                           "): " + zip_error_strerror(error));
}

struct ArchiveCloser {
  void operator()(zip_t* archive) const { zip_discard(archive); }
};

void addEntry(zip_t* archive, const std::string& name, const std::string& data) {
  zip_source_t* source = zip_source_buffer(archive, data.data(), data.size(), 0);
  if (!source) zipFailure("entry", zip_get_error(archive));
  const zip_int64_t index = zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8);
  if (index < 0) {
    zip_source_free(source);
    zipFailure("entry", zip_get_error(archive));
  }
  const auto entry = static_cast<zip_uint64_t>(index);
  // 1980-01-01 00:00, the earliest DOS time: no clock or time zone reaches the bytes.
  // Level 1 deflates a large sheet three times faster than the default for ~13% more bytes.
  if (zip_file_set_dostime(archive, entry, 0, (1 << 5) | 1, 0) != 0 ||
      zip_set_file_compression(archive, entry, ZIP_CM_DEFLATE, 1) != 0) {
    zipFailure("entry settings", zip_get_error(archive));
  }
}

}  // namespace

std::string writePackage(const std::vector<PackagePart>& parts) {
  const uint64_t entries = parts.size() + 1;  // and [Content_Types].xml
  if (entries > ZipLimits{}.maxEntries) {
    throw std::runtime_error("Cannot build the workbook package: it would hold " +
                             std::to_string(entries) + " parts, more than the " +
                             std::to_string(ZipLimits{}.maxEntries) +
                             " a package may have to be opened again");
  }
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
  if (!buffer) zipFailure("buffer", &error);
  zip_source_keep(buffer);  // read back after the archive is closed
  std::unique_ptr<zip_source_t, decltype(&zip_source_free)> bufferOwner(buffer, zip_source_free);
  zip_t* raw = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
  if (!raw) zipFailure("archive", &error);
  std::unique_ptr<zip_t, ArchiveCloser> archive(raw);

  const std::string contentTypes = contentTypesXml(parts);
  addEntry(archive.get(), "[Content_Types].xml", contentTypes);
  for (const PackagePart& part : parts) addEntry(archive.get(), part.name, part.data);
  if (zip_close(archive.get()) != 0) zipFailure("close", zip_get_error(archive.get()));
  archive.release();

  zip_stat_t stat;
  if (zip_source_stat(buffer, &stat) != 0 || zip_source_open(buffer) != 0) {
    zipFailure("read back", zip_source_error(buffer));
  }
  std::string bytes(static_cast<size_t>(stat.size), '\0');
  const zip_int64_t read = zip_source_read(buffer, bytes.data(), bytes.size());
  zip_source_close(buffer);
  if (read < 0 || static_cast<zip_uint64_t>(read) != stat.size) {
    zipFailure("read back", zip_source_error(buffer));
  }
  return bytes;
}

}  // namespace sx
