#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/style.h"

namespace sx {

// A very hidden sheet cannot be shown from the application's menus, only by a program.
enum class SheetVisibility { Visible, Hidden, VeryHidden };
// "visible", "hidden", "veryHidden" (ASCII case ignored); anything else throws.
SheetVisibility parseSheetVisibility(std::u16string_view word);
// The `state` attribute of a workbook's <sheet> entry.
std::string_view sheetVisibilityName(SheetVisibility value);
SheetVisibility sheetVisibilityFromName(std::string_view name);

// What a user may still do on a protected sheet, one bit each.
enum class SheetPermission : uint32_t {
  SelectLockedCells,
  SelectUnlockedCells,
  FormatCells,
  FormatColumns,
  FormatRows,
  InsertColumns,
  InsertRows,
  InsertHyperlinks,
  DeleteColumns,
  DeleteRows,
  Sort,
  AutoFilter,
  PivotTables,
  EditObjects,
  EditScenarios
};
constexpr size_t kSheetPermissionCount = 15;
// The script's name of a permission ("formatCells"), ASCII case ignored; anything else throws.
SheetPermission parseSheetPermission(std::u16string_view word);
// The <sheetProtection> attribute that locks it ("formatCells", "objects", ...); the
// attribute says "locked", so its value is the negation of the permission.
std::string_view sheetPermissionAttribute(SheetPermission permission);
// Whether the schema's default for that attribute is "locked" (true for most of them).
bool sheetPermissionLockedByDefault(SheetPermission permission);

struct SheetProtection {
  bool on = false;
  // The legacy 16-bit password hash, 0 without a password.
  uint16_t passwordHash = 0;
  // A bit per SheetPermission; the application's default allows selecting cells only.
  uint32_t allowed = (1u << static_cast<uint32_t>(SheetPermission::SelectLockedCells)) |
                     (1u << static_cast<uint32_t>(SheetPermission::SelectUnlockedCells));
  bool allows(SheetPermission permission) const {
    return (allowed >> static_cast<uint32_t>(permission)) & 1u;
  }
  void allow(SheetPermission permission, bool allowedNow) {
    const uint32_t bit = 1u << static_cast<uint32_t>(permission);
    allowed = allowedNow ? (allowed | bit) : (allowed & ~bit);
  }
  bool operator==(const SheetProtection&) const = default;
};

// The legacy sheet-protection hash of a password (the `password` attribute): printable ASCII,
// 1 to 255 characters; anything else throws std::invalid_argument.
uint16_t legacyPasswordHash(std::u16string_view password);

enum class PageOrientation { Default, Portrait, Landscape };
// "portrait" or "landscape" (ASCII case ignored); anything else throws.
PageOrientation parsePageOrientation(std::u16string_view word);
std::string_view pageOrientationName(PageOrientation value);
PageOrientation pageOrientationFromName(std::string_view name);
// A paper name ("A4", "Letter", "Legal", "A3", "A5", "Tabloid", "Executive", "B5"; ASCII case
// ignored) as its code in the file format; anything else throws.
uint16_t parsePaperSize(std::u16string_view name);

// In inches, as the file states them.
struct PageMargins {
  double left = 0.7, right = 0.7, top = 0.75, bottom = 0.75, header = 0.3, footer = 0.3;
  bool operator==(const PageMargins&) const = default;
};

struct PageSetup {
  PageOrientation orientation = PageOrientation::Default;
  uint16_t paperSize = 0;  // 0: the application's default
  PageMargins margins;
  // Fit the printout to so many pages across and down (0: as many as it takes).
  bool fitToPage = false;
  uint16_t fitToWidth = 1;
  uint16_t fitToHeight = 1;
  // Header and footer texts with the application's codes (&L, &C, &R, &P, &N, &D, ...).
  std::u16string header;
  std::u16string footer;
  bool operator==(const PageSetup&) const = default;
};

// The deepest outline level rows or columns may have.
constexpr uint8_t kMaxOutlineLevel = 7;

// What a sheet holds beyond its cells: how it shows in the workbook and what it lets users do.
struct SheetSettings {
  SheetVisibility visibility = SheetVisibility::Visible;
  std::optional<Color> tabColor;
  SheetProtection protection;
  uint16_t zoom = 100;  // percent, 10 to 400
  bool showGridLines = true;
  bool printGridLines = false;
  std::optional<double> defaultRowHeight;  // points; unset: the application's default
  PageSetup page;
  bool operator==(const SheetSettings&) const = default;
};

}  // namespace sx
