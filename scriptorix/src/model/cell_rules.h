#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/address.h"
#include "model/style.h"

namespace sx {

// Rules a sheet applies to areas of its cells: conditional formats and data validations.
// Formulas are held without their "=", relative to the area's top-left cell.

enum class ComparisonOperator {
  Between,
  NotBetween,
  Equal,
  NotEqual,
  GreaterThan,
  LessThan,
  GreaterThanOrEqual,
  LessThanOrEqual
};
// "between", "greaterThan", ... (ASCII case ignored); anything else throws.
ComparisonOperator parseComparisonOperator(std::u16string_view word);
std::string_view comparisonOperatorName(ComparisonOperator value);
// Between and NotBetween take two values, the others one.
inline bool takesTwoValues(ComparisonOperator value) {
  return value == ComparisonOperator::Between || value == ComparisonOperator::NotBetween;
}

// The parts of a cell's format a conditional format overrides; unset parts stay as they are.
struct DifferentialFormat {
  std::optional<Color> fontColor;
  std::optional<bool> bold;
  std::optional<bool> italic;
  std::optional<Color> fill;
  std::optional<BorderEdge> border;  // all four edges
  std::optional<std::u16string> numberFormat;
  bool operator==(const DifferentialFormat&) const = default;
};

enum class ConditionKind {
  CellValue,
  Expression,
  ColorScale,
  DataBar,
  IconSet,
  Top,
  AboveAverage,
  Duplicate,
  Unique,
  ContainsText
};
// "cellValue", "expression", "colorScale", "dataBar", "iconSet", "top", "aboveAverage",
// "duplicate", "unique", "containsText" (ASCII case ignored); anything else throws.
ConditionKind parseConditionKind(std::u16string_view word);
// The `type` of the file's <cfRule> ("cellIs", "top10", ...).
std::string_view conditionKindName(ConditionKind value);

// Icon set names as the file format spells them ("3Arrows", "5Rating", ...); the number of
// icons is its first digit. Anything else throws.
std::u16string parseIconSetName(std::u16string_view word);

struct ConditionalFormat {
  RangeRef area;
  ConditionKind kind = ConditionKind::CellValue;
  ComparisonOperator comparison = ComparisonOperator::Equal;  // CellValue
  std::vector<std::u16string> formulas;  // CellValue: one or two; Expression: one
  DifferentialFormat format;             // all kinds but the scales, bars and icons
  std::vector<Color> colors;             // ColorScale: two or three; DataBar: one
  std::u16string iconSet;                // IconSet
  uint32_t rank = 10;                    // Top: 1 to 1000 (percent: 1 to 100)
  bool percent = false;                  // Top
  bool bottom = false;                   // Top: the lowest instead
  bool below = false;                    // AboveAverage: below instead
  std::u16string text;                   // ContainsText
  bool operator==(const ConditionalFormat&) const = default;
};

enum class ValidationKind { Any, Whole, Decimal, List, Date, Time, TextLength, Custom };
// "whole", "decimal", "list", "date", "time", "textLength", "custom" (ASCII case ignored).
ValidationKind parseValidationKind(std::u16string_view word);
std::string_view validationKindName(ValidationKind value);

enum class ValidationErrorStyle { Stop, Warning, Information };
ValidationErrorStyle parseValidationErrorStyle(std::u16string_view word);
std::string_view validationErrorStyleName(ValidationErrorStyle value);

struct DataValidation {
  RangeRef area;
  ValidationKind kind = ValidationKind::Any;
  ComparisonOperator comparison = ComparisonOperator::Between;
  // List: a quoted inline list ("\"a,b,c\"") or a reference; others: values or formulas.
  std::vector<std::u16string> formulas;
  bool allowBlank = true;
  bool dropDown = true;  // List: show the in-cell arrow
  std::u16string inputTitle, inputMessage;
  std::u16string errorTitle, errorMessage;
  ValidationErrorStyle errorStyle = ValidationErrorStyle::Stop;
  bool operator==(const DataValidation&) const = default;
};

// A link on an area: to an address outside the workbook (a URL, a mail address, a file), or to
// a place in it ("Sheet2!A1", a defined name), held like a formula.
struct Hyperlink {
  RangeRef area;
  std::u16string address;
  std::vector<std::u16string> formulas;  // the place, when there is no address: one entry
  std::u16string display;
  std::u16string tooltip;
  bool operator==(const Hyperlink&) const = default;
};

// The application's limits on the texts of a link.
constexpr size_t kMaxHyperlinkAddressLength = 2079;
constexpr size_t kMaxHyperlinkTooltipLength = 255;

// Areas a sheet names for filtering and printing; nullopt for none.
struct SheetAreas {
  std::optional<RangeRef> autoFilter;  // its first row holds the filter buttons
  std::optional<RangeRef> printArea;
  std::optional<RangeRef> titleRows;     // whole rows repeated at the top of every printed page
  std::optional<RangeRef> titleColumns;  // whole columns repeated at the left
  bool operator==(const SheetAreas&) const = default;
};

// The application's limits on the texts of a validation.
constexpr size_t kMaxInlineListLength = 255;
constexpr size_t kMaxValidationTitleLength = 32;
constexpr size_t kMaxValidationMessageLength = 255;

// An inline list "a,b,c" as the quoted formula the file holds; throws when it is empty or
// longer than the application accepts.
std::u16string inlineListFormula(std::u16string_view items);

}  // namespace sx
