#include "formula/criteria.h"

#include "core/text_case.h"
#include "formula/function_helpers.h"
#include "formula/value_coercion.h"

namespace sx::formula {

Criterion::Criterion(const Scalar& condition) {
  if (!condition.isText()) {
    operand_ = condition.isEmpty() ? Scalar::fromNumber(0) : condition;
    return;
  }
  std::u16string_view text = condition.text;
  struct Prefix {
    std::u16string_view symbol;
    Comparison comparison;
  };
  for (auto [symbol, comparison] :
       {Prefix{u"<>", Comparison::NotEqual}, Prefix{u"<=", Comparison::LessEqual},
        Prefix{u">=", Comparison::GreaterEqual}, Prefix{u"<", Comparison::Less},
        Prefix{u">", Comparison::Greater}, Prefix{u"=", Comparison::Equal}}) {
    if (text.substr(0, symbol.size()) == symbol) {
      comparison_ = comparison;
      text.remove_prefix(symbol.size());
      break;
    }
  }
  if (text.empty()) {
    matchesEmpty_ = true;
    operand_ = Scalar::fromText(u"");
    return;
  }
  if (auto numeric = parseNumericText(text)) {
    operand_ = Scalar::fromNumber(*numeric);
    operandText_ = std::u16string(text);
  } else if (equalsIgnoringCase(text, u"TRUE") || equalsIgnoringCase(text, u"FALSE")) {
    operand_ = Scalar::fromBoolean(equalsIgnoringCase(text, u"TRUE"));
  } else if (auto error = errorFromText(text)) {
    operand_ = Scalar::fromError(*error);
  } else {
    operand_ = Scalar::fromText(std::u16string(text));
  }
}

bool Criterion::matches(const Scalar& value) const {
  if (matchesEmpty_) {
    bool empty = value.isEmpty() || (value.isText() && value.text.empty());
    return comparison_ == Comparison::NotEqual ? !value.isEmpty()
                                               : (comparison_ == Comparison::Equal && empty);
  }
  bool sameKind = value.kind == operand_.kind;
  if (operand_.isError()) {
    bool equal = value.isError() && value.error == operand_.error;
    return comparison_ == Comparison::NotEqual ? !equal
                                               : (comparison_ == Comparison::Equal && equal);
  }
  if (value.isText() && !operandText_.empty() &&
      (comparison_ == Comparison::Equal || comparison_ == Comparison::NotEqual)) {
    bool equal = equalsIgnoringCase(value.text, operandText_);
    return comparison_ == Comparison::Equal ? equal : !equal;
  }
  if (!sameKind || value.isError()) return comparison_ == Comparison::NotEqual;
  if (operand_.isText() &&
      (comparison_ == Comparison::Equal || comparison_ == Comparison::NotEqual)) {
    bool equal = wildcardMatch(operand_.text, value.text);
    return comparison_ == Comparison::Equal ? equal : !equal;
  }
  int order = compareScalars(value, operand_);
  switch (comparison_) {
    case Comparison::Equal:
      return order == 0;
    case Comparison::NotEqual:
      return order != 0;
    case Comparison::Less:
      return order < 0;
    case Comparison::LessEqual:
      return order <= 0;
    case Comparison::Greater:
      return order > 0;
    case Comparison::GreaterEqual:
      return order >= 0;
  }
  return false;
}

}  // namespace sx::formula
