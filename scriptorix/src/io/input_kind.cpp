#include "io/input_kind.h"

#include <cstdint>
#include <string>
#include <vector>

#include "core/utf.h"

namespace sx {

namespace {

constexpr std::string_view kCompoundFileMagic("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
constexpr uint32_t kEndOfChain = 0xFFFFFFFE;

uint32_t readU32(std::string_view bytes, size_t at) {
  if (at + 4 > bytes.size()) return kEndOfChain;
  uint32_t value = 0;
  for (size_t k = 0; k < 4; ++k)
    value |= uint32_t{static_cast<unsigned char>(bytes[at + k])} << (8 * k);
  return value;
}

// Stream names of a compound file's directory. The directory's sectors are followed through
// the allocation table named in the header (files that need more than its 109 table sectors
// are read as far as those reach); every step is bounded by the file's size.
std::vector<std::u16string> compoundFileNames(std::string_view bytes) {
  std::vector<std::u16string> names;
  if (bytes.size() < 512) return names;
  const unsigned shift =
      static_cast<unsigned char>(bytes[0x1E]) | static_cast<unsigned char>(bytes[0x1F]) << 8;
  if (shift != 9 && shift != 12) return names;
  const size_t sectorSize = size_t{1} << shift;
  const size_t sectors = bytes.size() / sectorSize;
  const size_t perTableSector = sectorSize / 4;
  auto next = [&](uint32_t sector) -> uint32_t {
    const size_t tableIndex = sector / perTableSector;
    if (tableIndex >= 109) return kEndOfChain;
    const uint32_t tableSector = readU32(bytes, 0x4C + 4 * tableIndex);
    if (tableSector >= sectors) return kEndOfChain;
    return readU32(bytes, (size_t{tableSector} + 1) * sectorSize + (sector % perTableSector) * 4);
  };
  uint32_t sector = readU32(bytes, 0x30);
  for (size_t steps = 0; sector < sectors && steps < sectors; ++steps, sector = next(sector)) {
    const size_t start = (size_t{sector} + 1) * sectorSize;
    for (size_t entry = start; entry + 128 <= start + sectorSize && entry + 128 <= bytes.size();
         entry += 128) {
      const size_t length = static_cast<unsigned char>(bytes[entry + 0x40]);
      std::u16string name;
      for (size_t k = 0; k + 2 < length && k < 64; k += 2) {
        name += static_cast<char16_t>(static_cast<unsigned char>(bytes[entry + k]) |
                                      static_cast<unsigned char>(bytes[entry + k + 1]) << 8);
      }
      if (!name.empty()) names.push_back(std::move(name));
    }
  }
  return names;
}

InputKind compoundFileKind(std::string_view bytes) {
  bool legacy = false;
  for (const std::u16string& name : compoundFileNames(bytes)) {
    if (name == u"EncryptionInfo" || name == u"EncryptedPackage")
      return InputKind::EncryptedWorkbook;
    legacy = legacy || name == u"Workbook" || name == u"Book";
  }
  return legacy ? InputKind::LegacyWorkbook : InputKind::CompoundFile;
}

// Text editors and spreadsheet exports write tabs, line ends, form feeds and at most a DOS
// end-of-file mark; other control bytes (NUL above all) mean binary data.
bool isPlainText(std::string_view bytes) {
  for (char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f' && byte != 0x1A)
      return false;
    if (byte == 0x7F) return false;
  }
  return isValidUtf8(bytes);
}

}  // namespace

InputKind inputKindOf(std::string_view bytes) {
  if (bytes.empty()) return InputKind::Empty;
  if (bytes.starts_with("PK\x03\x04")) return InputKind::Package;
  if (bytes.starts_with(kCompoundFileMagic)) return compoundFileKind(bytes);
  return isPlainText(bytes) ? InputKind::Text : InputKind::Binary;
}

}  // namespace sx
