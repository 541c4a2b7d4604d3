#include <gtest/gtest.h>

#include "io/xlsx_reader.h"
#include "io/xlsx_writer.h"
#include "package_reader.h"

namespace sx {
namespace {

TEST(XlsxFontEffects, UnderlineStylesStrikeAndScriptsRoundTrip) {
  Workbook book;
  Sheet& sheet = book.sheet(0);
  const FontUnderline styles[] = {FontUnderline::Single, FontUnderline::Double,
                                  FontUnderline::SingleAccounting, FontUnderline::DoubleAccounting};
  for (int i = 0; i < 4; ++i) sheet.setUnderline(cellRef(i, 0), styles[i]);
  sheet.setStrikethrough(cellRef(0, 1), true);
  sheet.setVerticalAlign(cellRef(1, 1), FontVerticalAlign::Superscript, true);
  sheet.setVerticalAlign(cellRef(2, 1), FontVerticalAlign::Subscript, true);
  sheet.setVerticalAlign(cellRef(2, 1), FontVerticalAlign::Superscript,
                         false);  // not superscript: stays
  sheet.setVerticalAlign(cellRef(3, 1), FontVerticalAlign::Subscript, true);
  sheet.setVerticalAlign(cellRef(3, 1), FontVerticalAlign::Subscript, false);

  const std::string bytes = writePackage(buildWorkbookParts(book, FileFormat::Xlsx));
  const std::string styles_xml = testing::unpackZip(bytes).entries.at("xl/styles.xml");
  for (const char* element :
       {"<u/>", "<u val=\"double\"/>", "<u val=\"singleAccounting\"/>",
        "<u val=\"doubleAccounting\"/>", "<strike/>", "<vertAlign val=\"superscript\"/>",
        "<vertAlign val=\"subscript\"/>"}) {
    EXPECT_NE(styles_xml.find(element), std::string::npos) << element << " in " << styles_xml;
  }
  const auto back = readXlsxWorkbook(bytes);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(back->sheet(0).style(i, 0).font.underline, styles[i]);
  EXPECT_TRUE(back->sheet(0).style(0, 1).font.strikethrough);
  EXPECT_EQ(back->sheet(0).style(1, 1).font.verticalAlign, FontVerticalAlign::Superscript);
  EXPECT_EQ(back->sheet(0).style(2, 1).font.verticalAlign, FontVerticalAlign::Subscript);
  EXPECT_EQ(back->sheet(0).style(3, 1).font.verticalAlign, FontVerticalAlign::Baseline);
  EXPECT_EQ(back->sheet(0).style(3, 1), sheet.style(3, 1)) << "the same style as a plain cell";
}

}  // namespace
}  // namespace sx
