#include <gtest/gtest.h>

#include "model/text_width.h"
#include "model/workbook.h"

namespace sx {
namespace {

TEST(ColumnAutoFit, TextWidthFollowsLettersFontAndLines) {
  const Font plain;
  EXPECT_DOUBLE_EQ(estimatedTextWidth(u"0123456789", plain), 10);
  EXPECT_LT(estimatedTextWidth(u"iiii", plain), estimatedTextWidth(u"0000", plain));
  EXPECT_GT(estimatedTextWidth(u"MMMM", plain), estimatedTextWidth(u"0000", plain));
  Font large = plain;
  large.size = 22;
  EXPECT_DOUBLE_EQ(estimatedTextWidth(u"00", large), 4);
  Font bold = plain;
  bold.bold = true;
  EXPECT_GT(estimatedTextWidth(u"Total", bold), estimatedTextWidth(u"Total", plain));
  EXPECT_DOUBLE_EQ(estimatedTextWidth(u"00\n0000\n0", plain), 4) << "the longest line";
  EXPECT_DOUBLE_EQ(estimatedTextWidth(u"\u65e5\u672c", plain), 4);
  EXPECT_DOUBLE_EQ(estimatedTextWidth(u"", plain), 0);
}

TEST(ColumnAutoFit, ColumnsTakeTheirWidestDisplayedText) {
  Workbook book;
  Sheet& sheet = book.sheet(0);
  sheet.setText(parseRangeRef(u"A1"), u"00000000");
  sheet.setNumber(parseRangeRef(u"A2"), 1234.5);
  sheet.setNumberFormat(parseRangeRef(u"A2"),
                        u"#,##0.00 \"units\"");  // 1,234.50 units: wider than A1
  sheet.setText(parseRangeRef(u"B1"), u"=REPT(\"0\",20)");
  sheet.setText(parseRangeRef(u"C1"), u"000000000000000000000000000000");
  sheet.merge(parseRangeRef(u"C1:D1"), false);
  sheet.setColumnWidth(parseRangeRef(u"C:C"), 5);
  sheet.autoFitColumns(parseRangeRef(u"A:E"));
  const auto& columns = sheet.columnFormats();
  ASSERT_TRUE(columns.count(0) && columns.count(1));
  EXPECT_GT(*columns.at(0).width, 12);
  EXPECT_LT(*columns.at(0).width, 17);
  EXPECT_DOUBLE_EQ(*columns.at(1).width, 21) << "a formula's value counts";
  EXPECT_DOUBLE_EQ(*columns.at(2).width, 5) << "text merged across columns does not count";
  EXPECT_FALSE(columns.count(4)) << "an empty column keeps its width";
  sheet.setText(parseRangeRef(u"A3"), std::u16string(400, u'0'));
  sheet.autoFitColumns(parseRangeRef(u"A3"));
  EXPECT_DOUBLE_EQ(*columns.at(0).width, 255);
}

}  // namespace
}  // namespace sx
