#pragma once

#include <zip.h>

#include <map>
#include <stdexcept>
#include <string>

namespace sx::testing {

// Every entry of a zip held in memory, by name, in archive order kept in `order`.
struct UnpackedZip {
  std::map<std::string, std::string> entries;
  std::vector<std::string> order;
  std::vector<zip_uint32_t> modifiedTimes;
};

inline UnpackedZip unpackZip(const std::string& bytes) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
  if (!source) throw std::runtime_error("zip source");
  zip_t* archive = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error);
  if (!archive) {
    zip_source_free(source);
    throw std::runtime_error(std::string("not a valid zip: ") + zip_error_strerror(&error));
  }
  UnpackedZip result;
  const zip_int64_t count = zip_get_num_entries(archive, 0);
  for (zip_int64_t i = 0; i < count; ++i) {
    zip_stat_t stat;
    zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &stat);
    zip_file_t* file = zip_fopen_index(archive, static_cast<zip_uint64_t>(i), 0);
    std::string data(static_cast<size_t>(stat.size), '\0');
    zip_fread(file, data.data(), data.size());
    zip_fclose(file);
    result.order.push_back(stat.name);
    result.entries[stat.name] = data;
    result.modifiedTimes.push_back(static_cast<zip_uint32_t>(stat.mtime));
  }
  zip_close(archive);
  return result;
}

}  // namespace sx::testing
