#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <string_view>

#include "io/csv.h"
#include "model/workbook.h"

namespace sx {
namespace {

RangeRef at(const char16_t* text) { return parseRangeRef(text); }

std::string csvOf(const Sheet& sheet) {
  std::string text;
  writeCsv(
      sheet, [&](std::string_view piece) { text += piece; }, UINT64_MAX);
  return text;
}

TEST(CsvWriter, QuotesOnlyWhereNeededAndShowsCellsAsDisplayed) {
  Workbook book;
  Sheet& sheet = book.sheet(0);
  sheet.setText(at(u"A1"), u"plain");
  sheet.setText(at(u"B1"), u"a,b");
  sheet.setText(at(u"C1"), u"say \"hi\"");
  sheet.setText(at(u"A2"), u"two\nlines");
  sheet.setText(at(u"B2"), u"cr\rhere");
  sheet.setNumber(at(u"C2"), 0.5);
  sheet.setNumberFormat(at(u"C2"), u"0%");
  sheet.setBoolean(at(u"A3"), true);
  sheet.setNumber(at(u"C3"), 1234.5);
  sheet.setText(at(u"B4"), u"{\"k\":\"v, w\"}");
  EXPECT_EQ(csvOf(sheet),
            "plain,\"a,b\",\"say \"\"hi\"\"\"\n"
            "\"two\nlines\",\"cr\rhere\",50%\n"
            "TRUE,,1234.5\n"
            ",\"{\"\"k\"\":\"\"v, w\"\"}\",\n");
}

TEST(CsvWriter, StartsAtA1AndIgnoresFormatOnlyCells) {
  Workbook book;
  Sheet& sheet = book.sheet(0);
  EXPECT_EQ(csvOf(sheet), "");
  sheet.setNumber(at(u"C2"), 7);
  sheet.setBold(at(u"E9"), true);
  EXPECT_EQ(csvOf(sheet), ",,\n,,7\n");
  sheet.setText(at(u"A1"), u"=B1");  // a formula shows its calculated value: an empty cell is 0
  EXPECT_EQ(csvOf(sheet), "0,,\n,,7\n");
}

// Opposite corners give a long text of commas; it comes in pieces of whole records.
TEST(CsvWriter, StreamsRecordsInPiecesNotTheWholeText) {
  Workbook book;
  Sheet& sheet = book.sheet(0);
  sheet.setNumber(at(u"A1"), 1);
  sheet.setNumber(at(u"XFD300"), 2);
  size_t pieces = 0, largest = 0, total = 0;
  bool wholeRecords = true;
  const auto count = [&](std::string_view piece) {
    ++pieces;
    largest = std::max(largest, piece.size());
    total += piece.size();
    wholeRecords = wholeRecords && piece.ends_with('\n');
  };
  writeCsv(sheet, count, UINT64_MAX);
  EXPECT_EQ(total, 300u * kMaxColumns + 2);  // 16,383 commas and a line end per record, "1" and "2"
  EXPECT_GT(pieces, 50u);
  EXPECT_LT(largest, size_t{64 << 10} + kMaxColumns);
  EXPECT_TRUE(wholeRecords);
  // Past the limit nothing more is handed on: what the engine saves it must be able to open.
  total = 0;
  EXPECT_THROW(writeCsv(sheet, count, 100u * kMaxColumns), std::length_error);
  EXPECT_LE(total, 100u * kMaxColumns);
}

TEST(CsvReader, ParsesQuotesLineEndsAndValueKinds) {
  Workbook book;
  Sheet& sheet = book.sheet(0);
  readCsv(
      "\xEF\xBB\xBFname,qty,price\r\n"
      "\"Smith, J\",00123,-1.5e3\n"
      "\"say \"\"hi\"\"\",TRUE,false\r"
      "\"multi\nline\",,+5\n"
      "0.25,.5,=1+2\n"
      "1e999,'x,1.\n",
      sheet);
  EXPECT_EQ(sheet.value(0, 0), CellValue::fromText(u"name"));
  EXPECT_EQ(sheet.value(1, 0), CellValue::fromText(u"Smith, J"));
  EXPECT_EQ(sheet.value(1, 1), CellValue::fromText(u"00123"));
  EXPECT_EQ(sheet.value(1, 2), CellValue::fromNumber(-1500));
  EXPECT_EQ(sheet.value(2, 0), CellValue::fromText(u"say \"hi\""));
  EXPECT_EQ(sheet.value(2, 1), CellValue::fromBoolean(true));
  EXPECT_EQ(sheet.value(2, 2), CellValue::fromBoolean(false));
  EXPECT_EQ(sheet.value(3, 0), CellValue::fromText(u"multi\nline"));
  EXPECT_TRUE(sheet.value(3, 1).isEmpty());
  EXPECT_EQ(sheet.value(3, 2), CellValue::fromText(u"+5"));
  EXPECT_EQ(sheet.value(4, 0), CellValue::fromNumber(0.25));
  EXPECT_EQ(sheet.value(4, 1), CellValue::fromNumber(0.5));
  EXPECT_EQ(sheet.value(4, 2), CellValue::fromText(u"=1+2"));
  EXPECT_FALSE(sheet.formula(4, 2).has_value());
  EXPECT_EQ(sheet.value(5, 0), CellValue::fromText(u"1e999"));
  EXPECT_EQ(sheet.value(5, 1), CellValue::fromText(u"'x"));
  EXPECT_EQ(sheet.value(5, 2), CellValue::fromText(u"1."));
  EXPECT_EQ(sheet.usedRange(), at(u"A1:C6"));
}

TEST(CsvReader, RoundTripsWhatTheWriterWrites) {
  Workbook book;
  Sheet& sheet = book.sheet(0);
  sheet.setText(at(u"A1"), u"x,\"y\"\r\nz");
  sheet.setText(at(u"B2"), u"Grüße ✓ 😀");
  sheet.setNumber(at(u"C1"), 42);
  Workbook copy;
  readCsv(csvOf(sheet), copy.sheet(0));
  EXPECT_EQ(copy.sheet(0).value(0, 0), sheet.value(0, 0));
  EXPECT_EQ(copy.sheet(0).value(1, 1), sheet.value(1, 1));
  EXPECT_EQ(copy.sheet(0).value(0, 2), sheet.value(0, 2));
}

TEST(CsvReader, RefusesUnterminatedQuotesAndDataPastTheLimits) {
  Workbook book;
  EXPECT_THROW(readCsv("a,\"open\n", book.sheet(0)), std::runtime_error);
  std::string wide(kMaxColumns, ',');
  wide += "x\n";
  EXPECT_THROW(readCsv(wide, book.sheet(0)), std::runtime_error);
  // Empty fields past the limit hold nothing and are no fault.
  std::string trailing(kMaxColumns + 5, ',');
  EXPECT_NO_THROW(readCsv("a" + trailing + "\n", book.sheet(0)));
}

}  // namespace
}  // namespace sx
