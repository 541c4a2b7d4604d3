#include "text/text_file.h"

#include <fstream>
#include <stdexcept>

#include "text/utf8.h"

namespace zq {

std::string readFileBytes(const std::filesystem::path& file) {
  const char* failure = "Cannot open input JSON";
  std::ifstream stream(file, std::ios::binary);
  if (!stream.is_open()) {
    throw std::runtime_error(failure);
  }
  std::string bytes;
  char chunk[65536];
  while (stream.read(chunk, sizeof chunk) || stream.gcount() > 0) {
    bytes.append(chunk, static_cast<std::size_t>(stream.gcount()));
  }
  // A folder opens on POSIX but cannot be read; it counts as unopenable, as on Windows.
  if (stream.bad()) {
    throw std::runtime_error(failure);
  }
  return bytes;
}

std::u16string readUtf8File(const std::filesystem::path& file) {
  return decodeUtf8(readFileBytes(file));
}

void writeUtf8File(const std::filesystem::path& file, std::u16string_view text) {
  // Encoding first: a text that cannot be encoded leaves an existing file untouched.
  const std::string bytes = encodeUtf8(text);
  const std::filesystem::path parent = file.parent_path();
  if (!parent.empty()) {
    std::filesystem::create_directories(parent);
  }
  std::ofstream stream(file, std::ios::binary | std::ios::trunc);
  if (!stream.is_open()) {
    throw std::runtime_error("Cannot open output file");
  }
  stream.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  stream.close();
  // A full disk must not pass for a written file.
  if (stream.fail()) {
    throw std::runtime_error("Cannot write output file");
  }
}

}  // namespace zq
