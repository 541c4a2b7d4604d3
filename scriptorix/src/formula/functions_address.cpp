#include <string>

#include "core/sheet_limits.h"
#include "core/sheet_name.h"
#include "formula/function_helpers.h"
#include "formula/function_library.h"

namespace sx::formula {
namespace {

// A sheet as ADDRESS writes it; "[Book]Sheet" names another workbook's sheet and is quoted
// whole, only when its sheet part needs quoting.
std::u16string sheetPrefix(const std::u16string& sheet) {
  const std::size_t close = sheet.find(u']');
  if (sheet.front() != u'[' || close == std::u16string::npos) return quoteSheetName(sheet);
  const std::u16string_view name = std::u16string_view(sheet).substr(close + 1);
  if (!name.empty() && quoteSheetName(name) == name) return sheet;
  std::u16string quoted = u"'";
  for (char16_t c : sheet) {
    quoted.push_back(c);
    if (c == u'\'') quoted.push_back(c);
  }
  return quoted + u"'";
}

// ADDRESS(row, column, [absolute], [a1], [sheet]): absolute 1 $A$1, 2 A$1, 3 $A1, 4 A1; in
// R1C1 style the relative parts are offsets in brackets.
Value address(CallArgs& args) {
  const int64_t row = toInteger(args.number(0)), column = toInteger(args.number(1));
  const int64_t kind = args.isMissing(2) ? 1 : toInteger(args.number(2));
  const bool a1 = args.booleanOr(3, true);
  if (row < 1 || row > kMaxRows || column < 1 || column > kMaxColumns || kind < 1 || kind > 4)
    return Scalar::fromError(ErrorCode::Value);
  const bool absoluteRow = kind == 1 || kind == 2;
  const bool absoluteColumn = kind == 1 || kind == 3;
  std::u16string out;
  if (!args.isMissing(4)) {
    const std::u16string sheet = args.text(4);
    if (!sheet.empty()) out = sheetPrefix(sheet) + u"!";
  }
  auto digits = [](int64_t n) {
    std::u16string text;
    for (char c : std::to_string(n)) text.push_back(char16_t(c));
    return text;
  };
  if (a1) {
    out += (absoluteColumn ? u"$" : u"") + columnLetters(int32_t(column - 1));
    out += (absoluteRow ? u"$" : u"") + digits(row);
  } else {
    out += absoluteRow ? u"R" + digits(row) : u"R[" + digits(row) + u"]";
    out += absoluteColumn ? u"C" + digits(column) : u"C[" + digits(column) + u"]";
  }
  return Scalar::fromText(std::move(out));
}

Value areas(CallArgs& args) { return number(double(args.references(0).size())); }

constexpr FunctionSpec kFunctions[] = {
    {u"ADDRESS", 2, 5, address, false, true},
    {u"AREAS", 1, 1, areas},
};

}  // namespace

std::span<const FunctionSpec> addressFunctions() { return kFunctions; }

}  // namespace sx::formula
