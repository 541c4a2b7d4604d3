#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sx {

// The first entry name that the zip's central directory lists twice, read straight from the
// bytes: libzip refuses such a package without saying which name repeats.
std::optional<std::string> firstRepeatedEntryName(std::string_view zip);

}  // namespace sx
