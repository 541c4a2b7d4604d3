// Formula text from arbitrary bytes: parsing, evaluating and every reference rewrite must end
// with a value or a clear syntax error, never a crash, a hang or unbounded memory.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "formula/evaluator.h"
#include "formula/formula_parser.h"
#include "formula/reference_adjust.h"

namespace {

using sx::formula::Scalar;

// A small sheet: every cell in A1:C3 holds its row number, the rest is empty.
class FuzzContext : public sx::formula::EvalContext {
 public:
  Scalar cellValue(int32_t, int32_t row, int32_t column) override {
    return row < 3 && column < 3 ? Scalar::fromNumber(row + 1) : Scalar::empty();
  }
  sx::formula::UsedBounds usedBounds(int32_t) override { return {2, 2}; }
  std::optional<int32_t> sheetByName(std::u16string_view name) override {
    if (name == u"Sheet1") return 0;
    return std::nullopt;
  }
  std::vector<int32_t> sheetsBetween(std::u16string_view first, std::u16string_view last) override {
    if (first == u"Sheet1" && last == u"Sheet1") return {0};
    return {};
  }
  std::optional<std::u16string> definedName(std::u16string_view name,
                                            const sx::formula::CellPosition&) override {
    if (name == u"Self") return u"Self+1";
    if (name == u"Block") return u"Sheet1!$A$1:$C$3";
    return std::nullopt;
  }
  sx::formula::CellPosition currentCell() override { return {0, 1, 1}; }
  double now() override { return 45000.5; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 20000) return 0;  // fuzz.sh runs it with -max_len=20000
  // Bytes below 0x80 are characters as they stand; others pair up into UTF-16 units.
  std::u16string text;
  for (size_t i = 0; i < size; ++i) {
    if (data[i] < 0x80 || i + 1 == size) {
      text.push_back(char16_t(data[i]));
    } else {
      text.push_back(char16_t((data[i] << 8) | data[i + 1]));
      ++i;
    }
  }
  sx::translateFormula(text, 3, -2);
  sx::CellShift shift{sx::CellShift::Kind::DeleteUp, u"Sheet1", 1, 2, 0, 1};
  sx::adjustFormulaForShift(text, u"Sheet1", shift);
  shift.kind = sx::CellShift::Kind::InsertRight;
  sx::adjustFormulaForShift(text, u"", shift);
  sx::renameSheetInFormula(text, u"Sheet1", u"It's new");
  try {
    auto tree = sx::formula::parseFormula(text);
    FuzzContext context;
    sx::formula::Evaluator evaluator(context);
    evaluator.evaluateFormula(*tree);
  } catch (const sx::formula::FormulaSyntaxError&) {
  }
  return 0;
}
