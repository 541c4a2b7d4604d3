#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sx {

// Bounds on what one archive may unpack to, so that a hostile zip cannot exhaust memory.
struct ZipLimits {
  // The package writer refuses to write more, so whatever the engine saves it can open.
  uint64_t maxEntries = 100000;
  uint64_t maxEntryBytes = uint64_t{512} << 20;
  uint64_t maxTotalBytes = uint64_t{1} << 30;
  // Above `ratioFloorBytes`, an entry may not unpack to more than `maxRatio` times its size.
  uint64_t ratioFloorBytes = uint64_t{8} << 20;
  uint64_t maxRatio = 300;
};

struct ZipEntry {
  std::string name;
  std::string data;
};

// Every file entry of the archive in stored order (folder entries skipped). The sizes the
// archive declares are not trusted: each entry is read with the limits in force. Throws
// std::runtime_error naming the fault (not a zip, truncated, too large, unsafe name, ...).
std::vector<ZipEntry> readZipArchive(std::string_view bytes, const ZipLimits& limits = {});

}  // namespace sx
