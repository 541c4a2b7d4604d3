#include <gtest/gtest.h>

#include <string>

#include "formula/calculator.h"
#include "formula/exact_match_index.h"
#include "memory_workbook.h"

namespace sx::formula {
namespace {

using testing_support::MemoryWorkbook;

std::u16string widen(const std::string& text) { return std::u16string(text.begin(), text.end()); }

struct IndexCase {
  const char* name;
  Scalar wanted;
  std::optional<int32_t> position;
};

TEST(ExactMatchIndex, FindsTheFirstEqualValueAsComparisonsSeeIt) {
  const std::vector<Scalar> candidates = {
      Scalar::fromText(u"Apple"),
      Scalar::fromNumber(0.3),
      Scalar::fromBoolean(true),
      Scalar::fromText(u"apple"),
      Scalar::fromNumber(-0.0),
      Scalar::fromError(ErrorCode::NA),
      Scalar::empty(),
      Scalar::fromText(u"1"),
      Scalar::fromNumber(1),
      Scalar::fromText(u"ÉTÉ"),
  };
  ExactMatchIndex index;
  for (std::size_t i = 0; i < candidates.size(); ++i) index.add(candidates[i], int32_t(i));
  const IndexCase cases[] = {
      {"text ignoring case, first one wins", Scalar::fromText(u"APPLE"), 0},
      {"number equal to 15 digits", Scalar::fromNumber(0.1 * 3), 1},
      {"boolean by value", Scalar::fromBoolean(true), 2},
      {"no false among the candidates", Scalar::fromBoolean(false), std::nullopt},
      {"zero matches negative zero", Scalar::fromNumber(0), 4},
      {"a number never matches its text", Scalar::fromNumber(1), 8},
      {"a text never matches the number", Scalar::fromText(u"1"), 7},
      {"non-ASCII letters fold too", Scalar::fromText(u"été"), 9},
      {"absent value", Scalar::fromText(u"pear"), std::nullopt},
      {"empty never matches", Scalar::empty(), std::nullopt},
  };
  for (const IndexCase& c : cases) EXPECT_EQ(index.find(c.wanted), c.position) << c.name;
}

TEST(ExactMatchIndex, LeavesPatternsAndEmptyValuesToAScan) {
  EXPECT_FALSE(ExactMatchIndex::canFind(Scalar::fromText(u"a*"), true));
  EXPECT_FALSE(ExactMatchIndex::canFind(Scalar::fromText(u"a?c"), true));
  EXPECT_FALSE(ExactMatchIndex::canFind(Scalar::fromText(u"~x"), true));
  EXPECT_TRUE(ExactMatchIndex::canFind(Scalar::fromText(u"a*"), false));
  EXPECT_TRUE(ExactMatchIndex::canFind(Scalar::fromText(u"abc"), true));
  EXPECT_FALSE(ExactMatchIndex::canFind(Scalar::empty(), false));
  EXPECT_FALSE(ExactMatchIndex::canFind(Scalar::fromError(ErrorCode::NA), false));
}

// A 1000-row table in A:B (keys "k<row>", values row * 10) looked up from column D.
class IndexedLookups : public testing::Test {
 protected:
  static constexpr int32_t kRows = 1000;
  MemoryWorkbook book{{u"Sheet1"}};
  Calculator calculator{book};

  void SetUp() override {
    for (int32_t row = 0; row < kRows; ++row) {
      book.set(0, row, 0, Scalar::fromText(u"k" + widen(std::to_string(row))));
      book.set(0, row, 1, Scalar::fromNumber(row * 10.0));
    }
  }
  void formula(int32_t row, int32_t column, std::u16string_view text) {
    book.touch(0, row, column);
    calculator.setFormula({0, row, column}, text);
  }
  void store(int32_t row, int32_t column, Scalar value) {
    book.set(0, row, column, std::move(value));
    calculator.valueChanged({0, row, column});
  }
  Scalar at(int32_t row, int32_t column) { return calculator.value({0, row, column}); }
};

TEST_F(IndexedLookups, ManyLookupsReadTheTableOnce) {
  for (int32_t row = 0; row < kRows; ++row) {
    formula(row, 3,
            u"VLOOKUP(\"K" + widen(std::to_string(kRows - 1 - row)) + u"\",$A$1:$B$1000,2,FALSE)");
  }
  const long before = book.reads();
  for (int32_t row = 0; row < kRows; ++row) {
    ASSERT_EQ(at(row, 3), Scalar::fromNumber((kRows - 1 - row) * 10.0)) << row;
  }
  // A scan per lookup would read about half a million cells.
  EXPECT_LT(book.reads() - before, 10L * kRows);
}

TEST_F(IndexedLookups, EveryExactLookupFunctionAgreesWithAScan) {
  const char16_t* formulas[][2] = {
      {u"VLOOKUP(\"k500\",A1:B1000,2,FALSE)", u"VLOOKUP(\"k5?0\",A1:B1000,2,FALSE)"},
      {u"MATCH(\"K777\",A1:A1000,0)", u"MATCH(\"K77*7\",A1:A1000,0)"},
      {u"XLOOKUP(\"k999\",A1:A1000,B1:B1000)", u"XLOOKUP(\"k9*99\",A1:A1000,B1:B1000,,2)"},
      {u"MATCH(990,B1:B1000,0)", u"MATCH(990,B1:B1000,0)"},
      {u"VLOOKUP(\"none\",A1:B1000,2,FALSE)", u"VLOOKUP(\"no*ne\",A1:B1000,2,FALSE)"},
  };
  for (int32_t i = 0; i < int32_t(std::size(formulas)); ++i) {
    formula(i, 4, formulas[i][0]);
    formula(i, 5, formulas[i][1]);
    EXPECT_EQ(at(i, 4), at(i, 5)) << i;
  }
  EXPECT_EQ(at(0, 4), Scalar::fromNumber(5000));
  EXPECT_EQ(at(1, 4), Scalar::fromNumber(778));
  EXPECT_EQ(at(3, 4), Scalar::fromNumber(100));
  EXPECT_EQ(at(4, 4), Scalar::fromError(ErrorCode::NA));
}

TEST_F(IndexedLookups, AChangedKeyIsSeenByTheNextLookup) {
  formula(0, 3, u"VLOOKUP(\"k10\",A1:B1000,2,FALSE)");
  formula(1, 3, u"VLOOKUP(\"new\",A1:B1000,2,FALSE)");
  EXPECT_EQ(at(0, 3), Scalar::fromNumber(100));
  EXPECT_EQ(at(1, 3), Scalar::fromError(ErrorCode::NA));
  store(5, 0, Scalar::fromText(u"k10"));  // an earlier row now holds the key
  store(900, 0, Scalar::fromText(u"NEW"));
  EXPECT_EQ(at(0, 3), Scalar::fromNumber(50));
  EXPECT_EQ(at(1, 3), Scalar::fromNumber(9000));
}

TEST_F(IndexedLookups, KeysThatAreFormulasAreCalculatedBeforeTheyAreIndexed) {
  // Column C holds keys made by formulas from column A, some of them not calculated yet.
  for (int32_t row = 0; row < 200; ++row) {
    formula(row, 2, u"UPPER(A" + widen(std::to_string(row + 1)) + u")");
  }
  formula(0, 3, u"MATCH(\"K150\",C1:C200,0)");
  EXPECT_EQ(at(0, 3), Scalar::fromNumber(151));
  store(150, 0, Scalar::fromText(u"moved"));
  store(20, 0, Scalar::fromText(u"k150"));
  EXPECT_EQ(at(0, 3), Scalar::fromNumber(21));
}

TEST_F(IndexedLookups, AKeyAreaThatReadsTheLookupIsACycleNotAStaleIndex) {
  formula(999, 0, u"IFERROR(MATCH(\"k3\",A1:A1000,0),\"x\")");
  EXPECT_EQ(at(999, 0), Scalar::fromError(ErrorCode::Ref));
  calculator.removeFormula({0, 999, 0});
  store(999, 0, Scalar::fromText(u"k999"));
  formula(0, 3, u"MATCH(\"k999\",A1:A1000,0)");
  EXPECT_EQ(at(0, 3), Scalar::fromNumber(1000));
}

}  // namespace
}  // namespace sx::formula
