#include <gtest/gtest.h>

#include "formula/reference_adjust.h"
#include "model/workbook.h"

namespace sx {
namespace {

TEST(SheetSettings, LegacyPasswordHashMatchesOtherWriters) {
  // Values other spreadsheet libraries write for these passwords.
  EXPECT_EQ(legacyPasswordHash(u"secret"), 0xDAA7);
  EXPECT_EQ(legacyPasswordHash(u"test"), 0xCBEB);
  EXPECT_EQ(legacyPasswordHash(u"a"), 0xCE88);
  EXPECT_EQ(legacyPasswordHash(u"Password1"), 0xE1EE);
  EXPECT_THROW(legacyPasswordHash(u""), std::invalid_argument);
  EXPECT_THROW(legacyPasswordHash(u"caf\u00e9"), std::invalid_argument);
  EXPECT_THROW(legacyPasswordHash(std::u16string(256, u'x')), std::invalid_argument);
  EXPECT_NO_THROW(legacyPasswordHash(std::u16string(255, u'x')));
}

TEST(SheetSettings, WordsAndPermissionDefaults) {
  EXPECT_EQ(parseSheetVisibility(u"VERYHIDDEN"), SheetVisibility::VeryHidden);
  EXPECT_THROW(parseSheetVisibility(u"shown"), std::invalid_argument);
  EXPECT_EQ(parseCalculationMode(u"autoNoTable"), CalculationMode::AutoNoTable);
  EXPECT_THROW(parseCalculationMode(u"semi"), std::invalid_argument);
  EXPECT_EQ(sheetPermissionAttribute(parseSheetPermission(u"editObjects")), "objects");
  SheetProtection protection;
  EXPECT_TRUE(protection.allows(SheetPermission::SelectLockedCells));
  EXPECT_FALSE(protection.allows(SheetPermission::FormatCells));
  protection.allow(SheetPermission::FormatCells, true);
  protection.allow(SheetPermission::SelectLockedCells, false);
  EXPECT_TRUE(protection.allows(SheetPermission::FormatCells));
  EXPECT_FALSE(protection.allows(SheetPermission::SelectLockedCells));
}

TEST(SheetSettings, OneSheetStaysVisibleAndTheActiveOneIsVisible) {
  Workbook book;
  Sheet& first = book.sheet(0);
  Sheet& second = book.addSheet(u"Two");
  Sheet& third = book.addSheet(u"Three");
  book.setActiveSheet(second);
  book.setSheetVisibility(second, SheetVisibility::Hidden);
  EXPECT_EQ(&book.activeSheet(), &third) << "the next visible sheet takes over";
  EXPECT_THROW(book.setActiveSheet(second), std::invalid_argument);
  book.setSheetVisibility(third, SheetVisibility::VeryHidden);
  EXPECT_EQ(&book.activeSheet(), &first) << "else the one before";
  EXPECT_THROW(book.setSheetVisibility(first, SheetVisibility::Hidden), std::invalid_argument);
  EXPECT_THROW(book.removeSheet(first), std::invalid_argument);
  EXPECT_EQ(first.settings().visibility, SheetVisibility::Visible);
  book.removeSheet(third);  // a hidden sheet can go
  EXPECT_EQ(book.sheetCount(), 2u);
}

TEST(SheetSettings, RemovingASheetTurnsItsReferencesIntoErrors) {
  Workbook book;
  Sheet& data = book.addSheet(u"My Data");
  data.setNumber(parseRangeRef(u"A1"), 4);
  Sheet& first = book.sheet(0);
  first.setText(parseRangeRef(u"A1"), u"=SUM('my data'!A1:A2)+B1");
  first.setNumber(parseRangeRef(u"B1"), 1);
  book.addDefinedName(u"Source", u"'My Data'!$A$1");
  EXPECT_EQ(first.value(0, 0).number, 5);
  book.removeSheet(data);
  EXPECT_EQ(first.formula(0, 0), u"SUM(#REF!)+B1");
  EXPECT_EQ(first.value(0, 0).text, u"#REF!");
  EXPECT_EQ(book.findDefinedName(u"Source")->reference, u"#REF!");
  EXPECT_EQ(book.findSheet(u"My Data"), nullptr);
  EXPECT_EQ(removeSheetFromFormula(u"Other!A1&\"My Data!A1\"", u"my data"),
            u"Other!A1&\"My Data!A1\"")
      << "other sheets and text stay";
}

}  // namespace
}  // namespace sx
