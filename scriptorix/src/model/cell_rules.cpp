#include "model/cell_rules.h"

#include "model/word_table.h"

namespace sx {

namespace {

constexpr Word<ComparisonOperator> kComparisons[] = {
    {"between", ComparisonOperator::Between, "between"},
    {"notBetween", ComparisonOperator::NotBetween, "notBetween"},
    {"equal", ComparisonOperator::Equal, "equal"},
    {"notEqual", ComparisonOperator::NotEqual, "notEqual"},
    {"greaterThan", ComparisonOperator::GreaterThan, "greaterThan"},
    {"lessThan", ComparisonOperator::LessThan, "lessThan"},
    {"greaterThanOrEqual", ComparisonOperator::GreaterThanOrEqual, "greaterThanOrEqual"},
    {"lessThanOrEqual", ComparisonOperator::LessThanOrEqual, "lessThanOrEqual"},
};

constexpr Word<ConditionKind> kConditionKinds[] = {
    {"cellValue", ConditionKind::CellValue, "cellIs"},
    {"expression", ConditionKind::Expression, "expression"},
    {"colorScale", ConditionKind::ColorScale, "colorScale"},
    {"dataBar", ConditionKind::DataBar, "dataBar"},
    {"iconSet", ConditionKind::IconSet, "iconSet"},
    {"top", ConditionKind::Top, "top10"},
    {"aboveAverage", ConditionKind::AboveAverage, "aboveAverage"},
    {"duplicate", ConditionKind::Duplicate, "duplicateValues"},
    {"unique", ConditionKind::Unique, "uniqueValues"},
    {"containsText", ConditionKind::ContainsText, "containsText"},
};

constexpr Word<int> kIconSets[] = {
    {"3Arrows", 0, ""},         {"3ArrowsGray", 0, ""},     {"3Flags", 0, ""},
    {"3TrafficLights1", 0, ""}, {"3TrafficLights2", 0, ""}, {"3Signs", 0, ""},
    {"3Symbols", 0, ""},        {"3Symbols2", 0, ""},       {"4Arrows", 0, ""},
    {"4ArrowsGray", 0, ""},     {"4RedToBlack", 0, ""},     {"4Rating", 0, ""},
    {"4TrafficLights", 0, ""},  {"5Arrows", 0, ""},         {"5ArrowsGray", 0, ""},
    {"5Rating", 0, ""},         {"5Quarters", 0, ""},
};

constexpr Word<ValidationKind> kValidationKinds[] = {
    {"whole", ValidationKind::Whole, "whole"},
    {"decimal", ValidationKind::Decimal, "decimal"},
    {"list", ValidationKind::List, "list"},
    {"date", ValidationKind::Date, "date"},
    {"time", ValidationKind::Time, "time"},
    {"textLength", ValidationKind::TextLength, "textLength"},
    {"custom", ValidationKind::Custom, "custom"},
};

constexpr Word<ValidationErrorStyle> kErrorStyles[] = {
    {"stop", ValidationErrorStyle::Stop, "stop"},
    {"warning", ValidationErrorStyle::Warning, "warning"},
    {"information", ValidationErrorStyle::Information, "information"},
};

}  // namespace

ComparisonOperator parseComparisonOperator(std::u16string_view word) {
  return parseWord(kComparisons, word, "comparison operator");
}
std::string_view comparisonOperatorName(ComparisonOperator value) {
  return ooxmlName(kComparisons, value);
}

ConditionKind parseConditionKind(std::u16string_view word) {
  return parseWord(kConditionKinds, word, "conditional format type");
}

std::string_view conditionKindName(ConditionKind value) {
  return ooxmlName(kConditionKinds, value);
}

std::u16string parseIconSetName(std::u16string_view word) {
  parseWord(kIconSets, word, "icon set");
  for (const auto& entry : kIconSets) {
    if (equalsAsciiIgnoringCase(word, entry.script)) return fromUtf8(entry.script);
  }
  return {};
}

ValidationKind parseValidationKind(std::u16string_view word) {
  return parseWord(kValidationKinds, word, "validation type");
}
std::string_view validationKindName(ValidationKind value) {
  return value == ValidationKind::Any ? "none" : ooxmlName(kValidationKinds, value);
}

ValidationErrorStyle parseValidationErrorStyle(std::u16string_view word) {
  return parseWord(kErrorStyles, word, "validation error style");
}
std::string_view validationErrorStyleName(ValidationErrorStyle value) {
  return ooxmlName(kErrorStyles, value);
}

std::u16string inlineListFormula(std::u16string_view items) {
  if (items.empty()) throw std::invalid_argument("A validation list needs at least one item");
  if (items.size() > kMaxInlineListLength) {
    throw std::invalid_argument("A validation list written out may have at most 255 characters");
  }
  // Inside the quoted formula a quote is doubled.
  std::u16string formula = u"\"";
  for (char16_t c : items) {
    formula += c;
    if (c == u'"') formula += u'"';
  }
  return formula + u"\"";
}

}  // namespace sx
