#include "io/image_file.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace sx {

namespace {

constexpr uintmax_t kMaxImageBytes = 64u << 20;

uint32_t bigEndian(std::string_view bytes, size_t at, size_t length) {
  uint32_t value = 0;
  for (size_t i = 0; i < length; ++i)
    value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

std::optional<ImageHeader> pngHeader(std::string_view bytes) {
  // Signature, then the IHDR chunk: length, type, width, height.
  if (bytes.size() < 24 || bytes.substr(12, 4) != "IHDR") return std::nullopt;
  return ImageHeader{ImageType::Png, bigEndian(bytes, 16, 4), bigEndian(bytes, 20, 4)};
}

// The size is in the first start-of-frame segment (SOF0 to SOF15 but DHT, JPG and DAC).
std::optional<ImageHeader> jpegHeader(std::string_view bytes) {
  size_t at = 2;
  while (at + 4 <= bytes.size()) {
    if (static_cast<unsigned char>(bytes[at]) != 0xFF) return std::nullopt;
    const auto marker = static_cast<unsigned char>(bytes[at + 1]);
    if (marker == 0xFF) {
      ++at;  // fill byte
      continue;
    }
    if (marker == 0xD9 || marker == 0xDA)
      return std::nullopt;  // end of image or scan before a frame
    const uint32_t length = bigEndian(bytes, at + 2, 2);
    if (length < 2) return std::nullopt;
    if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
      if (at + 9 > bytes.size()) return std::nullopt;
      return ImageHeader{ImageType::Jpeg, bigEndian(bytes, at + 7, 2), bigEndian(bytes, at + 5, 2)};
    }
    at += 2 + length;
  }
  return std::nullopt;
}

}  // namespace

std::optional<ImageHeader> readImageHeader(std::string_view bytes) {
  std::optional<ImageHeader> header;
  if (bytes.starts_with("\x89PNG\r\n\x1a\n")) {
    header = pngHeader(bytes);
  } else if (bytes.starts_with("\xFF\xD8\xFF")) {
    header = jpegHeader(bytes);
  }
  if (header && (header->width == 0 || header->height == 0)) return std::nullopt;
  return header;
}

SheetImage readImageFile(const std::filesystem::path& path) {
  const std::string shown = path.string();
  std::error_code error;
  const auto status = std::filesystem::status(path, error);
  if (error || !std::filesystem::exists(status))
    throw std::runtime_error("Image file not found: " + shown);
  if (!std::filesystem::is_regular_file(status))
    throw std::runtime_error("Image path is not a file: " + shown);
  const uintmax_t size = std::filesystem::file_size(path, error);
  if (error) throw std::runtime_error("Cannot read the image file " + shown);
  if (size > kMaxImageBytes) throw std::runtime_error("Image file is larger than 64 MiB: " + shown);
  std::ifstream file(path, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (!file.good() && !file.eof()) throw std::runtime_error("Cannot read the image file " + shown);
  const auto header = readImageHeader(bytes);
  if (!header) {
    throw std::runtime_error("Image file is not a PNG or JPEG picture with a readable size: " +
                             shown);
  }
  SheetImage image;
  image.type = header->type;
  image.pixelWidth = header->width;
  image.pixelHeight = header->height;
  image.bytes = std::move(bytes);
  return image;
}

}  // namespace sx
