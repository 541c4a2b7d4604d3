#include <gtest/gtest.h>

#include <stdexcept>

#include "model/workbook.h"

namespace sx {
namespace {

RangeRef at(const char16_t* text) { return parseRangeRef(text); }

ConditionalFormat greaterThan(const char16_t* area, const char16_t* formula) {
  ConditionalFormat rule;
  rule.area = at(area);
  rule.kind = ConditionKind::CellValue;
  rule.comparison = ComparisonOperator::GreaterThan;
  rule.formulas = {formula};
  rule.format.bold = true;
  return rule;
}

DataValidation wholeNumbers(const char16_t* area) {
  DataValidation rule;
  rule.area = at(area);
  rule.kind = ValidationKind::Whole;
  rule.formulas = {u"1", u"10"};
  return rule;
}

TEST(SheetRules, ValidationsReplaceWhatTheyCoverAndRefusePartialOverlap) {
  Workbook book;
  Sheet& sheet = book.sheet(0);
  sheet.addValidation(wholeNumbers(u"B2:B3"));
  sheet.addValidation(wholeNumbers(u"D1"));
  sheet.addValidation(wholeNumbers(u"A1:B5"));
  ASSERT_EQ(sheet.validations().size(), 2u);
  EXPECT_EQ(sheet.validations()[0].area, at(u"D1"));
  EXPECT_EQ(sheet.validations()[1].area, at(u"A1:B5"));
  EXPECT_THROW(sheet.addValidation(wholeNumbers(u"B5:B6")), std::invalid_argument);
  EXPECT_EQ(sheet.validations().size(), 2u);
}

TEST(SheetRules, FormulasAreCheckedBeforeTheRuleIsKept) {
  Workbook book;
  Sheet& sheet = book.sheet(0);
  EXPECT_THROW(sheet.addConditionalFormat(greaterThan(u"A1", u"1+")), std::runtime_error);
  EXPECT_THROW(sheet.addConditionalFormat(greaterThan(u"A1", u"")), std::invalid_argument);
  DataValidation rule = wholeNumbers(u"A1");
  rule.formulas[1] = u"SUM(";
  EXPECT_THROW(sheet.addValidation(rule), std::runtime_error);
  EXPECT_TRUE(sheet.conditionalFormats().empty());
  EXPECT_TRUE(sheet.validations().empty());
}

TEST(SheetRules, InsertAndDeleteMoveAreasAndFormulas) {
  Workbook book;
  Sheet& sheet = book.sheet(0);
  Sheet& lists = book.addSheet(u"Lists");
  sheet.addConditionalFormat(greaterThan(u"B3:C6", u"$A$1"));
  sheet.addConditionalFormat(greaterThan(u"E2", u"1"));
  DataValidation list;
  list.area = at(u"B2");
  list.kind = ValidationKind::List;
  list.formulas = {u"Lists!$A$1:$A$3"};
  sheet.addValidation(list);

  sheet.insertCells(at(u"1:2"), InsertShift::Down);
  EXPECT_EQ(sheet.conditionalFormats()[0].area, at(u"B5:C8"));
  EXPECT_EQ(sheet.conditionalFormats()[0].formulas[0], u"$A$3");
  EXPECT_EQ(sheet.validations()[0].area, at(u"B4"));

  // Rows of the list's sheet go: the reference shrinks with them.
  lists.deleteCells(at(u"1:1"), DeleteShift::Up);
  EXPECT_EQ(sheet.validations()[0].formulas[0], u"Lists!$A$1:$A$2");

  // A rule whose cells are all deleted goes; one that loses part of its cells shrinks.
  sheet.deleteCells(at(u"E:E"), DeleteShift::Left);
  ASSERT_EQ(sheet.conditionalFormats().size(), 1u);
  sheet.deleteCells(at(u"5:6"), DeleteShift::Up);
  EXPECT_EQ(sheet.conditionalFormats()[0].area, at(u"B5:C6"));

  book.renameSheet(lists, u"Choices");
  EXPECT_EQ(sheet.validations()[0].formulas[0], u"Choices!$A$1:$A$2");
}

TEST(SheetRules, LinksHaveOneTargetAndReplaceTheLinksTheyOverlap) {
  Workbook book;
  Sheet& sheet = book.sheet(0);
  Hyperlink link;
  link.area = at(u"A1:B2");
  EXPECT_THROW(sheet.addHyperlink(link), std::invalid_argument);
  link.address = u"https://example.com";
  link.formulas = {u"Sheet1!C3"};
  EXPECT_THROW(sheet.addHyperlink(link), std::invalid_argument);
  link.formulas.clear();
  sheet.addHyperlink(link);
  link.area = at(u"D1");
  sheet.addHyperlink(link);
  link.area = at(u"B2:C3");
  link.address.clear();
  link.formulas = {u"Sheet1!$Z$9"};
  sheet.addHyperlink(link);
  ASSERT_EQ(sheet.hyperlinks().size(), 2u);
  EXPECT_EQ(sheet.hyperlinks()[0].area, at(u"D1"));
  sheet.insertCells(at(u"A:A"), InsertShift::Right);
  EXPECT_EQ(sheet.hyperlinks()[1].area, at(u"C2:D3"));
  EXPECT_EQ(sheet.hyperlinks()[1].formulas[0], u"Sheet1!$AA$9");
}

TEST(SheetRules, RichTextHoldsWhileTheCellKeepsItsTextAndMovesWithIt) {
  Workbook book;
  Sheet& sheet = book.sheet(0);
  TextRun bold;
  bold.text = u"Net ";
  bold.bold = true;
  TextRun plain;
  plain.text = u"income";
  sheet.setRichText(1, 1, {bold, plain});
  EXPECT_EQ(sheet.value(1, 1).text, u"Net income");
  ASSERT_NE(sheet.richText(1, 1), nullptr);
  EXPECT_EQ(sheet.richText(1, 1)->at(0), bold);
  EXPECT_THROW(sheet.setRichText(0, 0, {TextRun{}}), std::invalid_argument);

  sheet.insertCells(at(u"1:1"), InsertShift::Down);
  EXPECT_EQ(sheet.richText(1, 1), nullptr);
  ASSERT_NE(sheet.richText(2, 1), nullptr);
  sheet.setText(at(u"B3"), u"Other");
  EXPECT_EQ(sheet.richText(2, 1), nullptr);

  sheet.setRichText(4, 0, {plain});
  sheet.deleteCells(at(u"5:5"), DeleteShift::Up);
  sheet.setText(at(u"A5"), u"income");  // the same text in the cell now there has no runs
  EXPECT_EQ(sheet.richText(4, 0), nullptr);
}

TEST(SheetRules, WordsOfTheFileFormat) {
  EXPECT_EQ(parseComparisonOperator(u"GREATERTHANOREQUAL"), ComparisonOperator::GreaterThanOrEqual);
  EXPECT_EQ(comparisonOperatorName(ComparisonOperator::NotBetween), "notBetween");
  EXPECT_EQ(conditionKindName(parseConditionKind(u"top")), "top10");
  EXPECT_EQ(parseIconSetName(u"5rating"), u"5Rating");
  EXPECT_THROW(parseIconSetName(u"6Stars"), std::invalid_argument);
  EXPECT_EQ(inlineListFormula(u"a,\"b\""), u"\"a,\"\"b\"\"\"");
  EXPECT_THROW(inlineListFormula(u""), std::invalid_argument);
  EXPECT_THROW(inlineListFormula(std::u16string(256, u'x')), std::invalid_argument);
}

}  // namespace
}  // namespace sx
