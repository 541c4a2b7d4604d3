#pragma once

#include <zip.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "io/package_writer.h"

namespace sx::testing {

inline const std::string kMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
inline const std::string kRel =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
inline const std::string kSheetType =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml";

inline std::string worksheet(const std::string& sheetData, const std::string& before = "",
                             const std::string& after = "") {
  return "<worksheet xmlns=\"" + kMain + "\" xmlns:r=\"" + kRel + "\">" + before + "<sheetData>" +
         sheetData + "</sheetData>" + after + "</worksheet>";
}

inline std::string relationships(
    const std::vector<std::pair<std::string, std::string>>& idKindTarget) {
  std::string xml =
      "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
  for (const auto& [id, kindTarget] : idKindTarget) {
    const size_t bar = kindTarget.find('|');
    xml += "<Relationship Id=\"" + id + "\" Type=\"" + kRel + "/" + kindTarget.substr(0, bar) +
           "\" Target=\"" + kindTarget.substr(bar + 1) + "\"/>";
  }
  return xml + "</Relationships>";
}

// A small but complete package: a workbook with the given sheets (name, worksheet XML), an
// optional styles part and shared strings, plus any extra parts.
struct PackageSpec {
  std::vector<std::pair<std::string, std::string>> sheets;
  std::string styles;
  std::string sharedStrings;
  std::string workbookExtra;  // after <sheets>: definedNames, calcPr, ...
  std::string bookViews;
  std::vector<PackagePart> extraParts;
  std::vector<std::pair<std::string, std::string>> extraWorkbookRelationships;
};

inline std::vector<PackagePart> packageParts(const PackageSpec& layout) {
  std::vector<PackagePart> parts;
  parts.push_back({"_rels/.rels", "", relationships({{"rId1", "officeDocument|xl/workbook.xml"}})});
  std::string sheets;
  std::vector<std::pair<std::string, std::string>> rels;
  for (size_t i = 0; i < layout.sheets.size(); ++i) {
    const std::string n = std::to_string(i + 1);
    sheets += "<sheet name=\"" + layout.sheets[i].first + "\" sheetId=\"" + n + "\" r:id=\"rId" +
              n + "\"/>";
    rels.push_back({"rId" + n, "worksheet|worksheets/sheet" + n + ".xml"});
    parts.push_back({"xl/worksheets/sheet" + n + ".xml", kSheetType, layout.sheets[i].second});
  }
  if (!layout.styles.empty()) {
    rels.push_back({"rIdS", "styles|styles.xml"});
    parts.push_back({"xl/styles.xml",
                     "application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml",
                     layout.styles});
  }
  if (!layout.sharedStrings.empty()) {
    rels.push_back({"rIdT", "sharedStrings|sharedStrings.xml"});
    parts.push_back(
        {"xl/sharedStrings.xml",
         "application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml",
         "<sst xmlns=\"" + kMain + "\">" + layout.sharedStrings + "</sst>"});
  }
  for (const auto& rel : layout.extraWorkbookRelationships) rels.push_back(rel);
  parts.push_back({"xl/workbook.xml",
                   "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml",
                   "<workbook xmlns=\"" + kMain + "\" xmlns:r=\"" + kRel + "\">" +
                       layout.bookViews + "<sheets>" + sheets + "</sheets>" + layout.workbookExtra +
                       "</workbook>"});
  parts.push_back({"xl/_rels/workbook.xml.rels", "", relationships(rels)});
  for (const PackagePart& part : layout.extraParts) parts.push_back(part);
  return parts;
}

inline std::string package(const PackageSpec& layout) { return writePackage(packageParts(layout)); }

inline uint32_t crc32Of(const std::string& data) {
  uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char byte : data) {
    crc ^= byte;
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

// A zip of stored entries written byte by byte, for archives no well-behaved writer makes
// (unsafe or repeated names).
inline std::string storedZip(const std::vector<std::pair<std::string, std::string>>& entries) {
  std::string out, directory;
  auto u16 = [](std::string& s, uint16_t v) {
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>(v >> 8);
  };
  auto u32 = [&](std::string& s, uint32_t v) {
    u16(s, static_cast<uint16_t>(v & 0xFFFF));
    u16(s, static_cast<uint16_t>(v >> 16));
  };
  for (const auto& [name, data] : entries) {
    const auto offset = static_cast<uint32_t>(out.size());
    const uint32_t crc = crc32Of(data);
    const auto size = static_cast<uint32_t>(data.size());
    u32(out, 0x04034b50);
    u16(out, 20);
    u16(out, 0);
    u16(out, 0);
    u16(out, 0);
    u16(out, 0x21);
    u32(out, crc);
    u32(out, size);
    u32(out, size);
    u16(out, static_cast<uint16_t>(name.size()));
    u16(out, 0);
    out += name + data;
    u32(directory, 0x02014b50);
    u16(directory, 20);
    u16(directory, 20);
    u16(directory, 0);
    u16(directory, 0);
    u16(directory, 0);
    u16(directory, 0x21);
    u32(directory, crc);
    u32(directory, size);
    u32(directory, size);
    u16(directory, static_cast<uint16_t>(name.size()));
    u16(directory, 0);
    u16(directory, 0);
    u16(directory, 0);
    u16(directory, 0);
    u32(directory, 0);
    u32(directory, offset);
    directory += name;
  }
  const auto directoryOffset = static_cast<uint32_t>(out.size());
  out += directory;
  u32(out, 0x06054b50);
  u16(out, 0);
  u16(out, 0);
  u16(out, static_cast<uint16_t>(entries.size()));
  u16(out, static_cast<uint16_t>(entries.size()));
  u32(out, static_cast<uint32_t>(directory.size()));
  u32(out, directoryOffset);
  u16(out, 0);
  return out;
}

// One entry deflated at the highest level, as a zip bomb would be.
inline std::string tightlyDeflatedZip(const std::string& name, const std::string& data) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
  zip_source_keep(buffer);
  zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
  zip_source_t* source = zip_source_buffer(archive, data.data(), data.size(), 0);
  const zip_int64_t index = zip_file_add(archive, name.c_str(), source, 0);
  if (index < 0 ||
      zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 9) != 0 ||
      zip_close(archive) != 0) {
    throw std::runtime_error("cannot build the test archive");
  }
  zip_stat_t stat;
  zip_source_stat(buffer, &stat);
  zip_source_open(buffer);
  std::string bytes(static_cast<size_t>(stat.size), '\0');
  zip_source_read(buffer, bytes.data(), bytes.size());
  zip_source_close(buffer);
  zip_source_free(buffer);
  return bytes;
}

}  // namespace sx::testing
