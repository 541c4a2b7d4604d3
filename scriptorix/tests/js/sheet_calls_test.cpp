#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script_harness.h"

namespace sx::testing {
namespace {

TEST(SheetCalls, WorkbookAndSheetOrder) {
  expectAllPass({
      {"new workbook", "same(Api.GetActiveSheet().GetName(), 'Sheet1'); same(Api.GetSheets().length, 1);"},
      {"added sheet is appended and active",
       "var s = Api.AddSheet('Data'); same(s.GetName(), 'Data');"
       " same(Api.GetActiveSheet().GetName(), 'Data');"
       " same(Api.GetSheets().map(function (x) { return x.GetName(); }), ['Sheet1', 'Data']);"},
      {"move before",
       "Api.AddSheet('B'); Api.AddSheet('C'); var s = Api.GetSheets();"
       " s[2].Move(s[0]); same(Api.GetSheets().map(function (x) { return x.GetName(); }), ['C', 'Sheet1', 'B']);"},
      {"move after when before is null",
       "Api.AddSheet('B'); Api.AddSheet('C'); var s = Api.GetSheets();"
       " s[0].Move(null, s[1]); same(Api.GetSheets().map(function (x) { return x.GetName(); }), ['B', 'Sheet1', 'C']);"},
      {"move after the last sheet", "Api.AddSheet('B'); var s = Api.GetSheets(); s[0].Move(null, s[1]);"
       " same(Api.GetSheets().map(function (x) { return x.GetName(); }), ['B', 'Sheet1']);"},
      {"nothing to move against throws and leaves the order (a bad index, a misspelt name)",
       "Api.AddSheet('B'); var s = Api.GetSheets();"
       " throwsWith(function () { s[0].Move(s[5]); }, 'no sheet to move before or after');"
       " throwsWith(function () { s[0].Move(null, undefined); }, 'no sheet to move before or after');"
       " throwsWith(function () { s[0].Move(); }, 'no sheet to move before or after');"
       " same(Api.GetSheets().map(function (x) { return x.GetName(); }), ['Sheet1', 'B']);"},
      {"a sheet of a closed document", "var old = Api.GetActiveSheet(); builder.CloseFile(); builder.CreateFile('xlsx');"
       " Api.AddSheet('B'); throwsWith(function () { Api.GetActiveSheet().Move(old); }, 'document that was closed');"},
  });
}

TEST(SheetCalls, NamesFollowTheSpreadsheetRules) {
  expectAllPass({
      {"unique ignoring case", "throwsWith(function () { Api.AddSheet('sheet1'); }, 'already exists');"},
      {"too long", "throwsWith(function () { Api.AddSheet('x'.repeat(32)); }, '');"},
      {"forbidden character", "throwsWith(function () { Api.GetActiveSheet().SetName('a/b'); }, '');"},
      {"empty", "throwsWith(function () { Api.GetActiveSheet().SetName(''); }, '');"},
      {"31 characters are fine", "Api.GetActiveSheet().SetName('x'.repeat(31)); same(Api.GetActiveSheet().GetName().length, 31);"},
      {"renaming to its own name in other case",
       "Api.GetActiveSheet().SetName('SHEET1'); same(Api.GetActiveSheet().GetName(), 'SHEET1');"},
  });
}

TEST(SheetCalls, HandlesSurviveRenameAndMove) {
  expectAllPass({
      {"sheet handle after rename",
       "var s = Api.GetActiveSheet(); s.SetName('Renamed'); same(s.GetName(), 'Renamed');"
       " same(Api.GetSheets()[0].GetName(), 'Renamed');"},
      {"range handle after rename and move",
       "var s = Api.GetActiveSheet(); var r = s.GetRange('B2'); Api.AddSheet('Other');"
       " s.SetName('Moved'); s.Move(null, Api.GetSheets()[1]); r.SetValue(7);"
       " same(Api.GetSheets()[1].GetRange('B2').GetValue(), 7);"
       " same(r.GetAddress(false, true), 'Moved!B2');"},
  });
}

TEST(SheetCalls, ASheetIsOneObjectWhileItsDocumentIsOpen) {
  expectAllPass({
      {"every way to a sheet gives the same object",
       "var a = Api.GetActiveSheet(); var b = Api.AddSheet('B');"
       " same(Api.GetSheets()[0] === a, true); same(Api.GetActiveSheet() === b, true);"
       " same(a === b, false);"},
      {"a new document gets new objects, the old ones throw",
       "var old = Api.GetActiveSheet(); builder.CloseFile(); builder.CreateFile('xlsx');"
       " var now = Api.GetActiveSheet(); same(now === old, false); same(now.GetName(), 'Sheet1');"
       " throwsWith(function () { old.GetName(); }, 'closed');"},
  });
}

TEST(SheetCalls, RangeSelection) {
  expectAllPass({
      {"GetRangeByNumber is 0-based", "same(Api.GetActiveSheet().GetRangeByNumber(0, 0).GetAddress(), 'A1');"
                                       " same(Api.GetActiveSheet().GetRangeByNumber(2, 27).GetAddress(), 'AB3');"},
      {"GetRangeByNumber limits", "same(Api.GetActiveSheet().GetRangeByNumber(1048575, 16383).GetAddress(), 'XFD1048576');"
                                  " throwsWith(function () { Api.GetActiveSheet().GetRangeByNumber(1048576, 0); }, 'must be from 0');"
                                  " throwsWith(function () { Api.GetActiveSheet().GetRangeByNumber(-1, 0); }, 'must be from 0');"
                                  " throwsWith(function () { Api.GetActiveSheet().GetRangeByNumber(1.5, 0); }, 'whole number');"
                                  " throwsWith(function () { Api.GetActiveSheet().GetRangeByNumber('1', 0); }, 'must be a number');"},
      {"GetRows by number and text", "var s = Api.GetActiveSheet(); same(s.GetRows(3).GetAddress(), '3:3');"
                                     " same(s.GetRows('1:3').GetAddress(), '1:3'); same(s.GetRows('4').GetAddress(), '4:4');"
                                     " same(s.GetRows('1:3').GetCount(), 3);"},
      {"GetCols by number and text", "var s = Api.GetActiveSheet(); same(s.GetCols(3).GetAddress(), 'C:C');"
                                     " same(s.GetCols('A:C').GetAddress(), 'A:C'); same(s.GetCols('D').GetAddress(), 'D:D');"
                                     " same(s.GetCols('A:C').GetCount(), 3);"},
      {"GetRows refuses what is not rows", "var s = Api.GetActiveSheet();"
                                           " throwsWith(function () { s.GetRows(0); }, 'must be from 1');"
                                           " throwsWith(function () { s.GetRows('A1:B2'); }, 'not whole rows');"
                                           " throwsWith(function () { s.GetRows('A:C'); }, 'not whole rows');"
                                           " throwsWith(function () { s.GetRows(true); }, 'row number');"
                                           " throwsWith(function () { s.GetRows(1048577); }, 'must be from 1');"},
      {"GetCols refuses what is not columns", "var s = Api.GetActiveSheet();"
                                              " throwsWith(function () { s.GetCols('1:3'); }, 'not whole columns');"
                                              " throwsWith(function () { s.GetCols(16385); }, 'must be from 1');"
                                              " throwsWith(function () { s.GetCols('XFE'); }, '');"},
      {"GetRange beyond the limits", "throwsWith(function () { Api.GetActiveSheet().GetRange('XFE1'); }, '');"
                                     " throwsWith(function () { Api.GetActiveSheet().GetRange('A1048577'); }, '');"
                                     " throwsWith(function () { Api.GetActiveSheet().GetRange('not a ref'); }, '');"},
      {"used range", "var s = Api.GetActiveSheet(); same(s.GetUsedRange().GetAddress(), 'A1');"
                     " s.GetRange('C3').SetValue(1); s.GetRange('B5').SetValue('x');"
                     " same(s.GetUsedRange().GetAddress(), 'B3:C5');"},
  });
}

TEST(SheetCalls, DefinedNames) {
  expectAllPass({
      {"a reference without a sheet means this sheet",
       "var s = Api.GetActiveSheet(); s.AddDefName('Total', '$A$1:$B$2');"
       " var d = s.GetRange('A1:B2').GetDefName(); same(d.GetName(), 'Total');"
       " same(d.GetRefersTo(), '=Sheet1!$A$1:$B$2');"},
      {"quoted sheet in the reference",
       "Api.AddSheet(\"Bob's data\"); var s = Api.GetActiveSheet();"
       " s.AddDefName('Cells', \"'Bob''s data'!$C$3\"); same(s.GetRange('C3').GetDefName().GetName(), 'Cells');"},
      {"a sheet name that needs quotes gets them, and formulas read the name",
       "var s = Api.AddSheet('.x'); s.GetRange('A1').SetValue(5); s.AddDefName('Five', '$A$1');"
       " same(s.GetRange('A1').GetDefName().GetRefersTo(), \"='.x'!$A$1\");"
       " var f = Api.GetSheets()[0].GetRange('B1'); f.SetValue('=Five*2'); same(f.GetValue(), 10);"},
      {"no name for another range", "var s = Api.GetActiveSheet(); s.AddDefName('One', '$A$1');"
                                    " same(s.GetRange('A2').GetDefName(), null);"},
      {"taken and invalid names", "var s = Api.GetActiveSheet(); s.AddDefName('One', '$A$1');"
                                  " throwsWith(function () { s.AddDefName('one', '$A$2'); }, '');"
                                  " throwsWith(function () { s.AddDefName('A1', '$A$2'); }, '');"
                                  " throwsWith(function () { s.AddDefName('bad name', '$A$2'); }, '');"},
      {"unknown sheet in the reference", "throwsWith(function () { Api.GetActiveSheet().AddDefName('X', 'Nope!$A$1'); }, 'does not exist');"},
      {"freeze panes take counts", "Api.GetActiveSheet().SetFreezePanes(1, 2);"
                                   " throwsWith(function () { Api.GetActiveSheet().SetFreezePanes(-1, 0); }, 'must be from 0');"},
  });
}

TEST(SheetCalls, ArgumentCountsAndKinds) {
  expectAllPass({
      {"GetName takes none", "throwsWith(function () { Api.GetActiveSheet().GetName(1); }, 'Worksheet.GetName takes 0 arguments, not 1');"},
      {"SetName wants a string", "throwsWith(function () { Api.GetActiveSheet().SetName(5); }, 'Worksheet.SetName: argument 1 must be a string, not a number');"},
      {"GetRange wants one", "throwsWith(function () { Api.GetActiveSheet().GetRange(); }, 'takes 1 argument, not 0');"},
      {"Move wants a sheet", "throwsWith(function () { Api.GetActiveSheet().Move('Sheet1'); }, 'must be a Worksheet or null');"},
      {"Move refuses a range", "var s = Api.GetActiveSheet(); throwsWith(function () { s.Move(s.GetRange('A1')); }, 'must be a Worksheet');"},
      {"AddSheet wants a string", "throwsWith(function () { Api.AddSheet(null); }, 'must be a string, not null');"},
      {"colour components", "throwsWith(function () { Api.CreateColorFromRGB(256, 0, 0); }, 'must be from 0 to 255');"
                            " throwsWith(function () { Api.CreateColorFromRGB('1', 0, 0); }, 'must be a number');"
                            " throwsWith(function () { Api.CreateColorFromRGB(1, 0); }, 'takes 3 arguments');"},
      {"a method on the wrong object", "var s = Api.GetActiveSheet(); var f = s.GetName;"
                                       " throwsWith(function () { f.call(s.GetRange('A1')); }, 'called on an object of another kind');"
                                       " throwsWith(function () { f.call({}); }, 'another kind');"},
      {"methods live on the prototype", "var s = Api.GetActiveSheet(); same(Object.keys(s), []);"
                                        " same(typeof Object.getPrototypeOf(s).GetName, 'function');"
                                        " same(s.hasOwnProperty('GetName'), false);"},
  });
}

}  // namespace
}  // namespace sx::testing
