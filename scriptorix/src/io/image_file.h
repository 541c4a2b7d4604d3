#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "model/sheet_objects.h"

namespace sx {

struct ImageHeader {
  ImageType type = ImageType::Png;
  uint32_t width = 0;
  uint32_t height = 0;
};

// The type and pixel size a PNG or JPEG states in its header, told by its magic bytes, not its
// name; nullopt for anything else, a truncated header or a zero size.
std::optional<ImageHeader> readImageHeader(std::string_view bytes);

// A picture file for a sheet: a regular file of at most 64 MiB holding a PNG or JPEG.
// Throws std::runtime_error naming the path and what is wrong.
SheetImage readImageFile(const std::filesystem::path& path);

}  // namespace sx
