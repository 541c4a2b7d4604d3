#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script_harness.h"

namespace sx::testing {
namespace {

TEST(RangeRowsAndDates, SetValueWithRowsOfValues) {
  expectAllPass({
      {"a range of the same size",
       "s.GetRange('B2:D3').SetValue([['a', 1, true], [null, '=C2*2', '00123']]);"
       " same(s.GetRange('B2:D3').GetValue(), [['a', 1, true], ['', 2, '00123']]);"},
      {"a single cell takes the size of the rows",
       "s.GetRange('C5').SetValue([[1, 2], [3, 4], [5, 6]]); same(s.GetUsedRange().GetAddress(), 'C5:D7');"
       " same(s.GetRange('D7').GetValue(), 6);"},
      {"formulas are taken as written, not shifted",
       "s.GetRange('A1:A2').SetValue([['=B1'], ['=B1']]); same(s.GetRange('A1:A2').GetFormula(), [['=B1'], ['=B1']]);"},
      {"null clears one cell only",
       "s.GetRange('A1:B1').SetValue(7); s.GetRange('A1:B1').SetValue([[null, 8]]); same(s.GetRange('A1:B1').GetValue(), [['', 8]]);"},
  }, kNewWorkbookWithSheet);
}

TEST(RangeRowsAndDates, RowsThatDoNotFitAreRefusedWholly) {
  expectAllPass({
      {"wrong shape", "throwsWith(function () { s.GetRange('A1:B2').SetValue([[1, 2, 3]]); },"
                      " '1 rows of 3 values do not fit a range of 2 rows and 2 columns');"
                      " same(s.GetRange('A1').GetValue(), '');"},
      {"ragged rows", "throwsWith(function () { s.GetRange('A1').SetValue([[1, 2], [3]]); }, 'row 2 has 1 values');"},
      {"flat array", "throwsWith(function () { s.GetRange('A1').SetValue([1, 2]); }, 'row 1 must be an array');"},
      {"empty", "throwsWith(function () { s.GetRange('A1').SetValue([]); }, 'empty');"
                " throwsWith(function () { s.GetRange('A1').SetValue([[]]); }, 'no values');"},
      {"object value", "throwsWith(function () { s.GetRange('A1').SetValue([[1, {}]]); }, 'row 1, column 2 must be');"
                       " same(s.GetRange('A1').GetValue(), '');"},
      {"bad date after good values", "throwsWith(function () { s.GetRange('A1').SetValue([[1], [new Date(1800, 0, 1)]]); }, 'between');"
                                     " same(s.GetRange('A1').GetValue(), '');"},
      {"past the sheet", "throwsWith(function () { s.GetRange('XFD1').SetValue([[1, 2]]); }, 'past the last');"},
      {"NaN in a row", "throwsWith(function () { s.GetRange('A1').SetValue([[2, NaN]]); }, 'column 2 is not a finite number');"
                       " same(s.GetRange('A1').GetValue(), '');"},
  }, kNewWorkbookWithSheet);
}

TEST(RangeRowsAndDates, DatesAreSerialsWithADateFormat) {
  expectAllPass({
      {"the 1900 system with its phantom leap day",
       "s.GetRange('A1').SetValue(new Date(1900, 0, 1)); same(s.GetRange('A1').GetValue(), 1);"
       " s.GetRange('A2').SetValue(new Date(1900, 1, 28)); same(s.GetRange('A2').GetValue(), 59);"
       " s.GetRange('A3').SetValue(new Date(1900, 2, 1)); same(s.GetRange('A3').GetValue(), 61);"
       " s.GetRange('A4').SetValue(new Date(2024, 1, 29, 18)); same(s.GetRange('A4').GetValue(), 45351.75);"},
      {"a default format only where there is none",
       "s.GetRange('A1').SetValue(new Date(2024, 0, 2)); same(s.GetRange('A1').GetFormula(), '45293');"
       " same(s.GetRange('A1').Find('2024-01-02').GetAddress(), 'A1');"
       " s.GetRange('B1').SetNumberFormat('d mmm yyyy'); s.GetRange('B1').SetValue(new Date(2024, 0, 2));"
       " same(s.GetRange('B1').Find('2 Jan 2024').GetAddress(), 'B1');"
       " s.GetRange('C1').SetValue(new Date(2024, 0, 2, 6)); same(s.GetRange('C1').Find('2024-01-02 06:00:00').GetAddress(), 'C1');"},
      {"dates no serial has",
       "throwsWith(function () { s.GetRange('A1').SetValue(new Date(1899, 11, 31)); }, 'between 1900-01-01 and 9999-12-31');"
       " throwsWith(function () { s.GetRange('A1').SetValue(new Date(10000, 0, 1)); }, 'between');"
       " throwsWith(function () { s.GetRange('A1').SetValue(new Date(NaN)); }, 'invalid Date');"},
      {"read back as dates",
       "var d = new Date(2023, 11, 31, 23, 59, 59, 500); s.GetRange('A1').SetValue(d);"
       " same(s.GetRange('A1').GetValueAsDate().getTime(), d.getTime());"
       " same(s.GetRange('A2').GetValueAsDate(), null); s.GetRange('A3').SetValue('text'); same(s.GetRange('A3').GetValueAsDate(), null);"
       " s.GetRange('A4').SetValue(-1); same(s.GetRange('A4').GetValueAsDate(), null);"
       " s.GetRange('A5').SetValue(60); same(s.GetRange('A5').GetValueAsDate().getDate(), 1);"
       " same(s.GetRange('A1:A2').GetValueAsDate()[0][0].getFullYear(), 2023);"},
  }, kNewWorkbookWithSheet);
}

}  // namespace
}  // namespace sx
