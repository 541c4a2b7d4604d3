#include "model/sheet_settings.h"

#include "model/word_table.h"

namespace sx {

namespace {

constexpr Word<SheetVisibility> kVisibilities[] = {
    {"visible", SheetVisibility::Visible, "visible"},
    {"hidden", SheetVisibility::Hidden, "hidden"},
    {"veryHidden", SheetVisibility::VeryHidden, "veryHidden"},
};

constexpr Word<SheetPermission> kPermissions[] = {
    {"selectLockedCells", SheetPermission::SelectLockedCells, "selectLockedCells"},
    {"selectUnlockedCells", SheetPermission::SelectUnlockedCells, "selectUnlockedCells"},
    {"formatCells", SheetPermission::FormatCells, "formatCells"},
    {"formatColumns", SheetPermission::FormatColumns, "formatColumns"},
    {"formatRows", SheetPermission::FormatRows, "formatRows"},
    {"insertColumns", SheetPermission::InsertColumns, "insertColumns"},
    {"insertRows", SheetPermission::InsertRows, "insertRows"},
    {"insertHyperlinks", SheetPermission::InsertHyperlinks, "insertHyperlinks"},
    {"deleteColumns", SheetPermission::DeleteColumns, "deleteColumns"},
    {"deleteRows", SheetPermission::DeleteRows, "deleteRows"},
    {"sort", SheetPermission::Sort, "sort"},
    {"autoFilter", SheetPermission::AutoFilter, "autoFilter"},
    {"pivotTables", SheetPermission::PivotTables, "pivotTables"},
    {"editObjects", SheetPermission::EditObjects, "objects"},
    {"editScenarios", SheetPermission::EditScenarios, "scenarios"},
};
static_assert(std::size(kPermissions) == kSheetPermissionCount);

constexpr Word<PageOrientation> kOrientations[] = {
    {"default", PageOrientation::Default, "default"},
    {"portrait", PageOrientation::Portrait, "portrait"},
    {"landscape", PageOrientation::Landscape, "landscape"},
};

// What a script may ask for: "default" is only what a file says without an orientation.
constexpr Word<PageOrientation> kOrientationWords[] = {
    {"portrait", PageOrientation::Portrait, "portrait"},
    {"landscape", PageOrientation::Landscape, "landscape"},
};

constexpr Word<uint16_t> kPaperSizes[] = {
    {"Letter", 1, ""}, {"Tabloid", 3, ""}, {"Legal", 5, ""}, {"Executive", 7, ""},
    {"A3", 8, ""},     {"A4", 9, ""},      {"A5", 11, ""},   {"B5", 13, ""},
};

}  // namespace

PageOrientation parsePageOrientation(std::u16string_view word) {
  return parseWord(kOrientationWords, word, "page orientation");
}
std::string_view pageOrientationName(PageOrientation value) {
  return ooxmlName(kOrientations, value);
}
PageOrientation pageOrientationFromName(std::string_view name) {
  return fromOoxmlName(kOrientations, name, PageOrientation::Default);
}
uint16_t parsePaperSize(std::u16string_view name) {
  return parseWord(kPaperSizes, name, "paper size");
}

SheetVisibility parseSheetVisibility(std::u16string_view word) {
  return parseWord(kVisibilities, word, "sheet visibility");
}

std::string_view sheetVisibilityName(SheetVisibility value) {
  return ooxmlName(kVisibilities, value);
}

SheetVisibility sheetVisibilityFromName(std::string_view name) {
  return fromOoxmlName(kVisibilities, name, SheetVisibility::Visible);
}

SheetPermission parseSheetPermission(std::u16string_view word) {
  return parseWord(kPermissions, word, "sheet permission");
}

std::string_view sheetPermissionAttribute(SheetPermission permission) {
  return ooxmlName(kPermissions, permission);
}

bool sheetPermissionLockedByDefault(SheetPermission permission) {
  switch (permission) {
    case SheetPermission::SelectLockedCells:
    case SheetPermission::SelectUnlockedCells:
    case SheetPermission::EditObjects:
    case SheetPermission::EditScenarios:
      return false;
    default:
      return true;
  }
}

uint16_t legacyPasswordHash(std::u16string_view password) {
  if (password.empty() || password.size() > 255) {
    throw std::invalid_argument("A sheet password must have 1 to 255 characters");
  }
  uint32_t hash = 0;
  for (auto it = password.rbegin(); it != password.rend(); ++it) {
    // The legacy hash works on single bytes; beyond ASCII the byte would depend on a code page.
    if (*it < 0x20 || *it > 0x7e) {
      throw std::invalid_argument("A sheet password may hold printable ASCII characters only");
    }
    hash = ((hash >> 14) & 0x01) | ((hash << 1) & 0x7fff);
    hash ^= *it;
  }
  hash = ((hash >> 14) & 0x01) | ((hash << 1) & 0x7fff);
  hash ^= static_cast<uint32_t>(password.size());
  hash ^= 0xce4b;
  return static_cast<uint16_t>(hash);
}

}  // namespace sx
