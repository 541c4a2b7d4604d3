#include <gtest/gtest.h>

#include <stdexcept>

#include "core/utf.h"
#include "model/workbook.h"

namespace sx {
namespace {

std::vector<std::u16string> names(const Workbook& book) {
  std::vector<std::u16string> result;
  for (size_t i = 0; i < book.sheetCount(); ++i) result.push_back(book.sheet(i).name());
  return result;
}

TEST(Workbook, StartsWithOneActiveSheetAndAddsSheetsAsActive) {
  Workbook book;
  ASSERT_EQ(book.sheetCount(), 1u);
  EXPECT_EQ(book.activeSheet().name(), u"Sheet1");
  Sheet& data = book.addSheet(u"Data");
  EXPECT_EQ(&book.activeSheet(), &data);
  EXPECT_EQ(book.findSheet(u"DATA"), &data);
  EXPECT_EQ(book.sheetById(data.id()), &data);
  EXPECT_EQ(book.sheetById(999), nullptr);
  book.setActiveSheet(book.sheet(0));
  EXPECT_EQ(book.activeSheet().name(), u"Sheet1");
  Workbook empty(false);
  EXPECT_EQ(empty.sheetCount(), 0u);
  EXPECT_THROW(empty.activeSheet(), std::logic_error);
}

TEST(Workbook, SheetNamesFollowTheSpreadsheetRules) {
  Workbook book;
  for (const char16_t* bad :
       {u"", u"a[b", u"a]b", u"a:b", u"a*b", u"a?b", u"a/b", u"a\\b", u"'quoted", u"quoted'",
        u"sheet1", u"12345678901234567890123456789012"}) {
    EXPECT_THROW(book.addSheet(bad), std::invalid_argument) << toUtf8(bad);
  }
  EXPECT_EQ(book.sheetCount(), 1u);
  EXPECT_NO_THROW(book.addSheet(u"1234567890123456789012345678901"));
  EXPECT_NO_THROW(book.addSheet(u"It's fine"));
  EXPECT_THROW(book.renameSheet(book.sheet(0), u"IT'S FINE"), std::invalid_argument);
  EXPECT_NO_THROW(book.renameSheet(book.sheet(0), u"SHEET1"));  // its own name in another case
  EXPECT_EQ(book.sheet(0).name(), u"SHEET1");
}

TEST(Workbook, RenameRewritesFormulasAndNamesAndKeepsTheId) {
  Workbook book;
  Sheet& first = book.sheet(0);
  Sheet& second = book.addSheet(u"Other");
  second.setText(parseRangeRef(u"A1"), u"=Sheet1!A1*2+A1");
  first.setText(parseRangeRef(u"B1"), u"=Other!B2");
  book.addDefinedName(u"Rate", u"Sheet1!$C$1");
  const uint32_t id = first.id();
  book.renameSheet(first, u"My Data");
  EXPECT_EQ(first.id(), id);
  EXPECT_EQ(second.formula(0, 0), u"'My Data'!A1*2+A1");
  EXPECT_EQ(first.formula(0, 1), u"Other!B2");
  EXPECT_EQ(book.findDefinedName(u"rate")->reference, u"'My Data'!$C$1");
}

TEST(Workbook, MoveSheetsBeforeAfterAndToAnIndex) {
  Workbook book;
  Sheet& a = book.sheet(0);
  Sheet& b = book.addSheet(u"B");
  Sheet& c = book.addSheet(u"C");
  book.moveSheetBefore(c, a);
  EXPECT_EQ(names(book), (std::vector<std::u16string>{u"C", u"Sheet1", u"B"}));
  book.moveSheetAfter(c, b);
  EXPECT_EQ(names(book), (std::vector<std::u16string>{u"Sheet1", u"B", u"C"}));
  book.moveSheetAfter(a, b);
  EXPECT_EQ(names(book), (std::vector<std::u16string>{u"B", u"Sheet1", u"C"}));
  book.moveSheetBefore(b, c);
  EXPECT_EQ(names(book), (std::vector<std::u16string>{u"Sheet1", u"B", u"C"}));
  book.moveSheet(c, 0);
  EXPECT_EQ(names(book), (std::vector<std::u16string>{u"C", u"Sheet1", u"B"}));
  book.moveSheet(c, 99);
  EXPECT_EQ(names(book), (std::vector<std::u16string>{u"Sheet1", u"B", u"C"}));
  book.moveSheetBefore(b, b);
  EXPECT_EQ(names(book), (std::vector<std::u16string>{u"Sheet1", u"B", u"C"}));
  EXPECT_EQ(&book.activeSheet(), &c);  // moving changes the order, not the active sheet
}

TEST(DefinedNames, AcceptOnlyValidNewNames) {
  Workbook book;
  for (const char16_t* good :
       {u"Total", u"_tax", u"\\path", u"rate.2024", u"ABCD1", u"Rx", u"Tax_Rate", u"XFE1"}) {
    EXPECT_TRUE(Workbook::isValidDefinedName(good)) << toUtf8(good);
  }
  for (const char16_t* bad : {u"", u"1st", u"A1", u"xfd1048576", u"R1C1", u"r2c", u"R", u"c", u"RC",
                              u"my name", u"a-b", u".dot", u"C3"}) {
    EXPECT_FALSE(Workbook::isValidDefinedName(bad)) << toUtf8(bad);
  }
  book.addDefinedName(u"Total", u"=Sheet1!$A$1:$A$3");
  EXPECT_EQ(book.findDefinedName(u"TOTAL")->reference, u"Sheet1!$A$1:$A$3");
  EXPECT_THROW(book.addDefinedName(u"total", u"Sheet1!$B$1"), std::invalid_argument);
  EXPECT_THROW(book.addDefinedName(u"A1", u"Sheet1!$B$1"), std::invalid_argument);
  EXPECT_THROW(book.addDefinedName(u"Empty", u"="), std::invalid_argument);
  EXPECT_EQ(book.definedNames().size(), 1u);
}

TEST(DefinedNames, AreFoundByTheRangeTheyReferTo) {
  Workbook book;
  Sheet& first = book.sheet(0);
  Sheet& other = book.addSheet(u"My Sheet");
  book.addDefinedName(u"Block", u"Sheet1!$A$1:$B$2");
  book.addDefinedName(u"Cols", u"'My Sheet'!$C:$D");
  book.addDefinedName(u"Constant", u"0.25");
  EXPECT_EQ(book.definedNameFor(first, parseRangeRef(u"A1:B2"))->name, u"Block");
  EXPECT_EQ(book.definedNameFor(first, parseRangeRef(u"A1:B3")), nullptr);
  EXPECT_EQ(book.definedNameFor(other, parseRangeRef(u"A1:B2")), nullptr);
  EXPECT_EQ(book.definedNameFor(other, parseRangeRef(u"C:D"))->name, u"Cols");
  EXPECT_EQ(book.definedNameFor(other, parseRangeRef(u"C1:D1048576"))->name, u"Cols");
}

}  // namespace
}  // namespace sx
