#include "formula/function_names.h"

#include <algorithm>
#include <unordered_map>

#include "formula/character_classes.h"
#include "formula/formula_token.h"

namespace sx::formula {
namespace {

// Functions added after the 2007 file format, with the prefix a file stores them under
// (Microsoft's list for "_xlfn." and the array functions that also carry "_xlws.").
constexpr std::u16string_view kXlfn = u"_xlfn.";
constexpr std::u16string_view kXlfnXlws = u"_xlfn._xlws.";
constexpr std::u16string_view kNewerFunctions[] = {u"ACOT",
                                                   u"ACOTH",
                                                   u"AGGREGATE",
                                                   u"ARABIC",
                                                   u"ARRAYTOTEXT",
                                                   u"BASE",
                                                   u"BETA.DIST",
                                                   u"BETA.INV",
                                                   u"BINOM.DIST",
                                                   u"BINOM.DIST.RANGE",
                                                   u"BINOM.INV",
                                                   u"BITAND",
                                                   u"BITLSHIFT",
                                                   u"BITOR",
                                                   u"BITRSHIFT",
                                                   u"BITXOR",
                                                   u"BYCOL",
                                                   u"BYROW",
                                                   u"CEILING.MATH",
                                                   u"CEILING.PRECISE",
                                                   u"CHISQ.DIST",
                                                   u"CHISQ.DIST.RT",
                                                   u"CHISQ.INV",
                                                   u"CHISQ.INV.RT",
                                                   u"CHISQ.TEST",
                                                   u"CHOOSECOLS",
                                                   u"CHOOSEROWS",
                                                   u"COMBINA",
                                                   u"CONCAT",
                                                   u"CONFIDENCE.NORM",
                                                   u"CONFIDENCE.T",
                                                   u"COT",
                                                   u"COTH",
                                                   u"COVARIANCE.P",
                                                   u"COVARIANCE.S",
                                                   u"CSC",
                                                   u"CSCH",
                                                   u"DAYS",
                                                   u"DECIMAL",
                                                   u"DROP",
                                                   u"ENCODEURL",
                                                   u"ERF.PRECISE",
                                                   u"ERFC.PRECISE",
                                                   u"EXPAND",
                                                   u"EXPON.DIST",
                                                   u"F.DIST",
                                                   u"F.DIST.RT",
                                                   u"F.INV",
                                                   u"F.INV.RT",
                                                   u"F.TEST",
                                                   u"FILTERXML",
                                                   u"FLOOR.MATH",
                                                   u"FLOOR.PRECISE",
                                                   u"FORECAST.ETS",
                                                   u"FORECAST.ETS.CONFINT",
                                                   u"FORECAST.ETS.SEASONALITY",
                                                   u"FORECAST.ETS.STAT",
                                                   u"FORECAST.LINEAR",
                                                   u"FORMULATEXT",
                                                   u"GAMMA",
                                                   u"GAMMA.DIST",
                                                   u"GAMMA.INV",
                                                   u"GAMMALN.PRECISE",
                                                   u"GAUSS",
                                                   u"GROUPBY",
                                                   u"HSTACK",
                                                   u"HYPGEOM.DIST",
                                                   u"IFNA",
                                                   u"IFS",
                                                   u"IMAGE",
                                                   u"IMCOSH",
                                                   u"IMCOT",
                                                   u"IMCSC",
                                                   u"IMCSCH",
                                                   u"IMSEC",
                                                   u"IMSECH",
                                                   u"IMSINH",
                                                   u"IMTAN",
                                                   u"ISFORMULA",
                                                   u"ISOMITTED",
                                                   u"ISOWEEKNUM",
                                                   u"LAMBDA",
                                                   u"LET",
                                                   u"LOGNORM.DIST",
                                                   u"LOGNORM.INV",
                                                   u"MAKEARRAY",
                                                   u"MAP",
                                                   u"MAXIFS",
                                                   u"MINIFS",
                                                   u"MODE.MULT",
                                                   u"MODE.SNGL",
                                                   u"MUNIT",
                                                   u"NEGBINOM.DIST",
                                                   u"NETWORKDAYS.INTL",
                                                   u"NORM.DIST",
                                                   u"NORM.INV",
                                                   u"NORM.S.DIST",
                                                   u"NORM.S.INV",
                                                   u"NUMBERVALUE",
                                                   u"PDURATION",
                                                   u"PERCENTILE.EXC",
                                                   u"PERCENTILE.INC",
                                                   u"PERCENTOF",
                                                   u"PERCENTRANK.EXC",
                                                   u"PERCENTRANK.INC",
                                                   u"PERMUTATIONA",
                                                   u"PHI",
                                                   u"PIVOTBY",
                                                   u"POISSON.DIST",
                                                   u"QUARTILE.EXC",
                                                   u"QUARTILE.INC",
                                                   u"QUERYSTRING",
                                                   u"RANDARRAY",
                                                   u"RANK.AVG",
                                                   u"RANK.EQ",
                                                   u"REDUCE",
                                                   u"REGEXEXTRACT",
                                                   u"REGEXREPLACE",
                                                   u"REGEXTEST",
                                                   u"RRI",
                                                   u"SCAN",
                                                   u"SEC",
                                                   u"SECH",
                                                   u"SEQUENCE",
                                                   u"SHEET",
                                                   u"SHEETS",
                                                   u"SKEW.P",
                                                   u"SORTBY",
                                                   u"STDEV.P",
                                                   u"STDEV.S",
                                                   u"STOCKHISTORY",
                                                   u"SWITCH",
                                                   u"T.DIST",
                                                   u"T.DIST.2T",
                                                   u"T.DIST.RT",
                                                   u"T.INV",
                                                   u"T.INV.2T",
                                                   u"T.TEST",
                                                   u"TAKE",
                                                   u"TEXTAFTER",
                                                   u"TEXTBEFORE",
                                                   u"TEXTJOIN",
                                                   u"TEXTSPLIT",
                                                   u"TOCOL",
                                                   u"TOROW",
                                                   u"TRIMRANGE",
                                                   u"UNICHAR",
                                                   u"UNICODE",
                                                   u"UNIQUE",
                                                   u"VALUETOTEXT",
                                                   u"VAR.P",
                                                   u"VAR.S",
                                                   u"VSTACK",
                                                   u"WEBSERVICE",
                                                   u"WEIBULL.DIST",
                                                   u"WORKDAY.INTL",
                                                   u"WRAPCOLS",
                                                   u"WRAPROWS",
                                                   u"XLOOKUP",
                                                   u"XMATCH",
                                                   u"XOR",
                                                   u"Z.TEST",
                                                   u"ANCHORARRAY",
                                                   u"SINGLE",
                                                   u"ISO.CEILING"};
constexpr std::u16string_view kNewerArrayFunctions[] = {u"SORT", u"FILTER"};

std::u16string upper(std::u16string_view text) {
  std::u16string out;
  for (char16_t c : text) out.push_back(asciiUpper(c));
  return out;
}

// The prefix a file stores a function under, empty for one of the 2007 set.
std::u16string_view prefixOf(std::u16string_view upperName) {
  static const auto table = [] {
    std::unordered_map<std::u16string_view, std::u16string_view> prefixes;
    for (std::u16string_view name : kNewerFunctions) prefixes.emplace(name, kXlfn);
    for (std::u16string_view name : kNewerArrayFunctions) prefixes.emplace(name, kXlfnXlws);
    return prefixes;
  }();
  auto found = table.find(upperName);
  return found == table.end() ? std::u16string_view() : found->second;
}

template <typename Rename>
std::u16string renameFunctions(std::u16string_view formula, Rename rename) {
  std::u16string out;
  out.reserve(formula.size());
  for (const Token& token : tokenizeFormula(formula)) {
    const std::u16string_view text = formula.substr(token.offset, token.length);
    if (token.kind == TokenKind::Function) {
      out += rename(text);
    } else {
      out += text;
    }
  }
  return out;
}

}  // namespace

std::u16string_view withoutFunctionPrefix(std::u16string_view name) {
  for (std::u16string_view prefix : {u"_XLFN._XLWS.", u"_XLFN.", u"_XLWS."}) {
    if (name.substr(0, prefix.size()) == prefix) return name.substr(prefix.size());
  }
  return name;
}

std::u16string withFunctionPrefixes(std::u16string_view formula) {
  return renameFunctions(formula, [](std::u16string_view name) {
    const std::u16string upperName = upper(name);
    if (withoutFunctionPrefix(upperName).size() != upperName.size()) return std::u16string(name);
    return std::u16string(prefixOf(upperName)) + std::u16string(name);
  });
}

std::u16string withoutFunctionPrefixes(std::u16string_view formula) {
  return renameFunctions(formula, [](std::u16string_view name) {
    const std::u16string upperName = upper(name);
    const std::u16string_view bare = withoutFunctionPrefix(upperName);
    if (bare.size() == upperName.size() || prefixOf(bare).empty()) return std::u16string(name);
    return std::u16string(name.substr(name.size() - bare.size()));
  });
}

}  // namespace sx::formula
