#include "io/zip_directory.h"

#include <cstdint>
#include <unordered_set>

namespace sx {

namespace {

constexpr uint32_t kEndOfDirectory = 0x06054b50;
constexpr uint32_t kDirectoryEntry = 0x02014b50;
constexpr size_t kEndRecordBytes = 22;
constexpr size_t kEntryHeaderBytes = 46;
constexpr size_t kMaxCommentBytes = 0xFFFF;

uint32_t readLittleEndian(std::string_view bytes, size_t at, size_t width) {
  uint32_t value = 0;
  for (size_t i = width; i-- > 0;) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

}  // namespace

std::optional<std::string> firstRepeatedEntryName(std::string_view zip) {
  if (zip.size() < kEndRecordBytes) return std::nullopt;
  // The end record sits before a comment of at most 64 KiB.
  size_t end = zip.size() - kEndRecordBytes;
  const size_t lowest = end > kMaxCommentBytes ? end - kMaxCommentBytes : 0;
  while (readLittleEndian(zip, end, 4) != kEndOfDirectory) {
    if (end == lowest) return std::nullopt;
    --end;
  }
  const size_t count = readLittleEndian(zip, end + 10, 2);
  size_t at = readLittleEndian(zip, end + 16, 4);
  std::unordered_set<std::string_view> names;
  for (size_t i = 0; i < count; ++i) {
    if (at > zip.size() || zip.size() - at < kEntryHeaderBytes ||
        readLittleEndian(zip, at, 4) != kDirectoryEntry) {
      return std::nullopt;
    }
    const size_t nameBytes = readLittleEndian(zip, at + 28, 2);
    const size_t skipped =
        nameBytes + readLittleEndian(zip, at + 30, 2) + readLittleEndian(zip, at + 32, 2);
    if (zip.size() - at - kEntryHeaderBytes < skipped) return std::nullopt;
    const std::string_view name = zip.substr(at + kEntryHeaderBytes, nameBytes);
    if (!names.insert(name).second) return std::string(name);
    at += kEntryHeaderBytes + skipped;
  }
  return std::nullopt;
}

}  // namespace sx
