#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script_harness.h"

namespace sx::testing {
namespace {

TEST(RangeCalls, ValuesKeepTheirKind) {
  expectAllPass({
      {"number", "s.GetRange('A1').SetValue(42.5); same(s.GetRange('A1').GetValue(), 42.5);"},
      {"boolean", "s.GetRange('A1').SetValue(true); same(s.GetRange('A1').GetValue(), true);"},
      {"text with leading zeros stays text", "s.GetRange('A1').SetValue('00123'); same(s.GetRange('A1').GetValue(), '00123');"},
      {"apostrophe stores the rest", "s.GetRange('A1').SetValue(\"'=1+1\"); same(s.GetRange('A1').GetValue(), '=1+1');"},
      {"lone equals sign is text", "s.GetRange('A1').SetValue('='); same(s.GetRange('A1').GetFormula(), '=');"},
      {"null clears", "var r = s.GetRange('A1'); r.SetValue(1); r.SetValue(null); same(r.GetValue(), '');"},
      {"undefined clears", "var r = s.GetRange('A1'); r.SetValue(1); r.SetValue(undefined); same(r.GetValue(), '');"},
      {"empty cell reads as empty text", "same(s.GetRange('Z99').GetValue(), '');"},
      {"formula text", "s.GetRange('B1').SetValue('=A1*2'); same(s.GetRange('B1').GetFormula(), '=A1*2');"},
      {"formula filled over a range shifts", "s.GetRange('B1:B3').SetValue('=A1*2');"
                                             " same(s.GetRange('B1:B3').GetFormula(), [['=A1*2'], ['=A2*2'], ['=A3*2']]);"},
      {"same value on every cell", "s.GetRange('A1:B2').SetValue(3); same(s.GetRange('A1:B2').GetValue(), [[3, 3], [3, 3]]);"},
      {"GetFormula of values", "s.GetRange('A1').SetValue(1.5); s.GetRange('B1').SetValue(false);"
                               " same(s.GetRange('A1:C1').GetFormula(), [['1.5', 'FALSE', '']]);"},
      {"NaN and infinities throw", "throwsWith(function () { s.GetRange('A1').SetValue(NaN); }, '');"
                                   " throwsWith(function () { s.GetRange('A1').SetValue(Infinity); }, '');"},
      {"objects and flat arrays throw", "throwsWith(function () { s.GetRange('A1').SetValue({}); }, 'a number, a boolean, a text, a Date, an array of rows or null');"
                                        " throwsWith(function () { s.GetRange('A1').SetValue([1]); }, 'row 1 must be an array');"},
      {"huge writes and reads are refused, clearing is not",
       "throwsWith(function () { s.GetRange('A1:XFD1048576').SetValue(1); }, 'Range.SetValue writes at most 4194304 cells');"
       " throwsWith(function () { s.GetRange('A1:Z200000').GetValue(); }, 'Range.GetValue reads at most 4194304 cells');"
       " s.GetRange('A1:XFD1048576').SetValue(null); s.GetRange('A1:D1000').SetValue(0);"},
      {"whole columns read as far as the sheet is used",
       "s.GetRange('A2').SetValue(5); same(s.GetCols('A').GetValue(), [[''], [5]]);"
       " same(s.GetRows('2').GetValue(), [[5]]);"},
  }, kNewWorkbookWithSheet);
}

TEST(RangeCalls, AddressesAndCounts) {
  expectAllPass({
      {"flags", "var r = s.GetRange('A1:B2'); same(r.GetAddress(false, false), 'A1:B2');"
                " same(r.GetAddress(true, false), '$A$1:$B$2'); same(r.GetAddress(false, true), 'Sheet1!A1:B2');"
                " same(r.GetAddress(true, true), 'Sheet1!$A$1:$B$2'); same(r.GetAddress(), 'A1:B2');"},
      {"one cell", "same(s.GetRange('c3').GetAddress(true, false), '$C$3');"},
      {"whole rows and columns", "same(s.GetRange('1:3').GetAddress(), '1:3'); same(s.GetRange('A:C').GetAddress(true, false), '$A:$C');"},
      {"quoted sheet name", "s.SetName('My data'); same(s.GetRange('A1').GetAddress(false, true), \"'My data'!A1\");"},
      {"flags must be booleans", "throwsWith(function () { s.GetRange('A1').GetAddress('yes'); }, 'must be a boolean');"},
      {"cell count", "same(s.GetRange('A1:C4').GetCount(), 12);"},
      {"rows view counts rows", "same(s.GetRange('A1:C4').GetRows().GetCount(), 4); same(s.GetRange('A1:C4').GetCols().GetCount(), 3);"},
      {"views keep the cells", "same(s.GetRange('A1:C4').GetRows().GetAddress(), 'A1:C4');"},
      {"nth row and column of a range", "var r = s.GetRange('B2:D5'); same(r.GetRows(2).GetAddress(), 'B3:D3');"
                                        " same(r.GetCols(3).GetAddress(), 'D2:D5'); same(r.GetRows(2).GetCount(), 3);"},
      {"nth row of whole rows stays whole", "same(s.GetRange('2:4').GetRows(3).GetAddress(), '4:4');"
                                            " same(s.GetRange('A:C').GetRows(2).GetAddress(), 'A2:C2');"},
      {"nth beyond the range", "throwsWith(function () { s.GetRange('A1:B2').GetRows(3); }, 'must be from 1 to 2');"
                               " throwsWith(function () { s.GetRange('A1:B2').GetCols(0); }, 'must be from 1 to 2');"},
      {"whole column count", "same(s.GetCols('A:B').GetCount(), 2); same(s.GetRange('A:B').GetCount(), 2097152);"},
  }, kNewWorkbookWithSheet);
}

TEST(RangeCalls, RangesAnswerNoGetName) {
  expectAllPass({
      {"GetName absent", "same(typeof s.GetRange('A1').GetName, 'undefined'); same('GetName' in s.GetRange('A1'), false);"},
      {"views and found cells too", "s.GetRange('A1').SetValue('x'); same(typeof s.GetRange('A1').GetRows().GetName, 'undefined');"
                                    " same(typeof s.GetRange('A1:B2').Find('x').GetName, 'undefined');"},
      {"sheets answer it", "same(typeof s.GetName, 'function');"},
  }, kNewWorkbookWithSheet);
}

TEST(RangeCalls, Find) {
  expectAllPass({
      {"first match row by row ignoring case",
       "s.GetRange('B1').SetValue('other'); s.GetRange('A2').SetValue('Total due'); s.GetRange('C1').SetValue('TOTAL');"
       " same(s.GetRange('A1:C3').Find('total').GetAddress(), 'C1');"},
      {"no match is null", "s.GetRange('A1').SetValue('x'); same(s.GetRange('A1:B2').Find('y'), null);"},
      {"only inside the range", "s.GetRange('D4').SetValue('x'); same(s.GetRange('A1:B2').Find('x'), null);"},
      {"displayed text counts", "s.GetRange('A1').SetValue(0.5); s.GetRange('A1').SetNumberFormat('0%');"
                                " same(s.GetRange('A1:A2').Find('50%').GetAddress(), 'A1');"},
      {"wants a string", "throwsWith(function () { s.GetRange('A1').Find(5); }, 'must be a string');"},
  }, kNewWorkbookWithSheet);
}

TEST(RangeCalls, FormattingChecksItsArguments) {
  expectAllPass({
      {"accepted words", "var r = s.GetRange('A1:B2'); r.SetAlignHorizontal('center'); r.SetAlignVertical('distributed');"
                         " r.SetBorders('InsideHorizontal', 'Double', Api.CreateColorFromRGB(1, 2, 3)); r.SetWrap(true);"
                         " r.SetNumberFormat('0.00'); r.SetColumnWidth(12.5); r.SetFontName('Arial');"
                         " r.SetFillColor(Api.CreateColorFromRGB(255, 0, 0)); r.SetFillColor(null); r.SetBold(true);"
                         " r.SetItalic(false); r.SetUnderline(true); r.SetFontSize(14); r.SetFontColor(Api.CreateColorFromRGB(0, 0, 255));"
                         " r.SetRowHeight(20);"},
      {"unknown alignment", "throwsWith(function () { s.GetRange('A1').SetAlignHorizontal('middle'); }, '');"},
      {"unknown vertical alignment", "throwsWith(function () { s.GetRange('A1').SetAlignVertical('left'); }, '');"},
      {"unknown border position", "throwsWith(function () { s.GetRange('A1').SetBorders('Outside', 'Thin', Api.CreateColorFromRGB(0, 0, 0)); }, '');"},
      {"unknown line style", "throwsWith(function () { s.GetRange('A1').SetBorders('Top', 'Wavy', Api.CreateColorFromRGB(0, 0, 0)); }, '');"},
      {"border colour must be a Color", "throwsWith(function () { s.GetRange('A1').SetBorders('Top', 'Thin', 0); }, 'must be a Color');"
                                        " throwsWith(function () { s.GetRange('A1').SetBorders('Top', 'Thin'); }, 'takes 3 arguments');"},
      {"fill colour must be a Color", "throwsWith(function () { s.GetRange('A1').SetFillColor({r: 1, g: 2, b: 3}); }, 'must be a Color');"},
      {"wrap wants a boolean", "throwsWith(function () { s.GetRange('A1').SetWrap(1); }, 'must be a boolean, not a number');"},
      {"width wants a number", "throwsWith(function () { s.GetRange('A1').SetColumnWidth('12'); }, 'must be a number, not a string');"
                               " throwsWith(function () { s.GetRange('A1').SetColumnWidth(NaN); }, 'finite');"
                               " throwsWith(function () { s.GetRange('A1').SetColumnWidth(300); }, '');"},
      {"font name", "throwsWith(function () { s.GetRange('A1').SetFontName(''); }, 'must not be empty');"},
      {"number format wants a string", "throwsWith(function () { s.GetRange('A1').SetNumberFormat(2); }, 'must be a string');"},
      {"hidden needs rows or columns", "s.GetRows('2:3').SetHidden(true); s.GetRange('A1:B2').GetCols().SetHidden(true);"
                                       " throwsWith(function () { s.GetRange('A1').SetHidden(true); }, 'GetRows() or GetCols()');"},
      {"extra arguments", "throwsWith(function () { s.GetRange('A1').SetWrap(true, 1); }, 'Range.SetWrap takes 1 argument, not 2');"},
  }, kNewWorkbookWithSheet);
}

TEST(RangeCalls, Structure) {
  expectAllPass({
      {"copy shifts relative references",
       "s.GetRange('A1').SetValue(2); s.GetRange('B1').SetValue('=A1*3'); s.GetRange('B1').Copy(s.GetRange('C2'));"
       " same(s.GetRange('C2').GetFormula(), '=B2*3');"},
      {"copy to another sheet", "s.GetRange('A1:B1').SetValue(4); var o = Api.AddSheet('Other');"
                                " s.GetRange('A1:B1').Copy(o.GetRange('B2')); same(o.GetRange('B2:C2').GetValue(), [[4, 4]]);"},
      {"copy wants a range", "throwsWith(function () { s.GetRange('A1').Copy('B2'); }, 'must be a Range');"},
      {"delete up shifts cells", "s.GetRange('A1').SetValue(1); s.GetRange('A2').SetValue(2);"
                                 " s.GetRange('A1').Delete('up'); same(s.GetRange('A1').GetValue(), 2);"},
      {"delete defaults to up", "s.GetRange('A2').SetValue(2); s.GetRange('A1').Delete(); same(s.GetRange('A1').GetValue(), 2);"
                                " s.GetRange('A2').SetValue(3); s.GetRange('A1').Delete(null); same(s.GetRange('A1').GetValue(), 3);"},
      {"delete left", "s.GetRange('B1').SetValue(2); s.GetRange('A1').Delete('left'); same(s.GetRange('A1').GetValue(), 2);"},
      {"insert down and right", "s.GetRange('A1').SetValue(1); s.GetRange('A1').Insert('down'); same(s.GetRange('A2').GetValue(), 1);"
                                " s.GetRange('A2').Insert('right'); same(s.GetRange('B2').GetValue(), 1);"},
      {"unknown shift", "throwsWith(function () { s.GetRange('A1').Delete('down'); }, '');"
                        " throwsWith(function () { s.GetRange('A1').Insert('up'); }, '');"
                        " throwsWith(function () { s.GetRange('A1').Insert(1); }, 'must be a string');"},
      {"merge and clear", "s.GetRange('A1:B2').Merge(false); s.GetRange('A1:B2').Merge(true); s.GetRange('A1:B2').Merge(null);"
                          " s.GetRange('A1').SetValue(1); s.GetRange('A1:B2').Clear(); same(s.GetRange('A1').GetValue(), '');"},
      {"merge wants a boolean", "throwsWith(function () { s.GetRange('A1:B2').Merge('yes'); }, 'must be a boolean');"},
      {"unmerge removes the whole area it touches",
       "s.GetRange('A1:B2').Merge(false); throwsWith(function () { s.GetRange('A2').Insert('right'); }, 'merged area');"
       " s.GetRange('B2').UnMerge(); s.GetRange('A2').Insert('right');"
       " throwsWith(function () { s.GetRange('A1').UnMerge(1); }, '');"},
      {"references follow deleted rows", "s.GetRange('A3').SetValue(5); s.GetRange('B1').SetValue('=A3');"
                                         " s.GetRows('2').Delete('up'); same(s.GetRange('B1').GetFormula(), '=A2');"},
  }, kNewWorkbookWithSheet);
}

}  // namespace
}  // namespace sx::testing
