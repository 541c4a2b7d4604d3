#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "formula/formula_ast.h"

namespace sx::formula {

class CalcHost;

// What is known of a formula from its tree alone, before it is ever calculated.
struct FormulaTraits {
  // RAND, NOW, INDIRECT, OFFSET and the like (also through a defined name, or a range whose
  // corners are calculated): its value may change without any cell it names changing.
  bool isVolatile = false;
  // False when it calls a function this library does not know (an add-in's, a macro's, a newer
  // one) or names what the host does not hold: only the application that wrote the file can
  // calculate it.
  bool calculable = true;
  // Every area its references and defined names name.
  std::vector<Area> reads;
};

// Whether the formula calls SUBTOTAL or AGGREGATE anywhere.
bool callsSubtotal(const Node& root);

// `root` is null for a formula that does not parse: not calculable, reading nothing known.
FormulaTraits analyzeFormula(const Node* root, int32_t homeSheet, CalcHost& host);

// The defined names a formula text names, without their sheet prefix ("Sheet1!Rate" gives
// "Rate"), read from its tokens (so also from a formula that does not parse).
std::vector<std::u16string> namesInFormula(std::u16string_view formula);
// True when the formula text holds a reference through several sheets ("Jan:Mar!B2").
bool readsThroughSheets(std::u16string_view formula);

}  // namespace sx::formula
