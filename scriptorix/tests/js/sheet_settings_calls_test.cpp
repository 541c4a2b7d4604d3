#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script_harness.h"

namespace sx::testing {
namespace {

TEST(SheetSettingsCalls, GetSheetFindsByNameIgnoringCase) {
  expectAllPass({
      {"same object", "var d = Api.AddSheet('Data'); same(Api.GetSheet('DATA') === d, true);"},
      {"absent is null", "same(Api.GetSheet('Nope'), null); same(Api.GetSheet(''), null);"},
      {"follows a rename", "Api.GetActiveSheet().SetName('Q1'); same(Api.GetSheet('q1').GetName(), 'Q1');"},
      {"wrong kind", "throwsWith(function () { Api.GetSheet(1); }, 'argument 1 must be a string');"},
  });
}

TEST(SheetSettingsCalls, DeleteKeepsAVisibleSheetAndInvalidatesHandles) {
  expectAllPass({
      {"references become #REF!",
       "var d = Api.AddSheet('Data'); d.GetRange('A1').SetValue(2);"
       " var s = Api.GetSheet('Sheet1'); s.GetRange('A1').SetValue('=Data!A1*2'); same(s.GetRange('A1').GetValue(), 4);"
       " d.Delete(); same(s.GetRange('A1').GetFormula(), '=#REF!*2'); same(s.GetRange('A1').GetValue(), '#REF!');"
       " same(Api.GetSheets().length, 1); same(Api.GetActiveSheet().GetName(), 'Sheet1');"},
      {"handles of the deleted sheet throw",
       "var d = Api.AddSheet('Data'); var r = d.GetRange('A1'); d.Delete();"
       " throwsWith(function () { d.GetName(); }, 'sheet that was deleted');"
       " throwsWith(function () { r.SetValue(1); }, 'sheet that was deleted');"},
      {"the last visible sheet stays",
       "throwsWith(function () { Api.GetActiveSheet().Delete(); }, 'only visible sheet');"
       " var h = Api.AddSheet('H'); h.SetVisible(false);"
       " throwsWith(function () { Api.GetSheet('Sheet1').Delete(); }, 'only visible sheet'); h.Delete();"},
  });
}

TEST(SheetSettingsCalls, VisibilityAndActivation) {
  expectAllPass({
      {"hide, very hide and show",
       "var b = Api.AddSheet('B'); b.SetVisible(false); same(b.GetVisible(), false); same(b.GetVisibility(), 'hidden');"
       " same(Api.GetActiveSheet().GetName(), 'Sheet1');"
       " b.SetVisibility('VeryHidden'); same(b.GetVisibility(), 'veryHidden');"
       " b.SetVisibility('visible'); b.SetActive(); same(Api.GetActiveSheet().GetName(), 'B');"},
      {"a hidden sheet cannot be activated",
       "var b = Api.AddSheet('B'); b.SetVisible(false); throwsWith(function () { b.SetActive(); }, 'is hidden');"},
      {"the last visible sheet cannot hide",
       "throwsWith(function () { Api.GetActiveSheet().SetVisibility('hidden'); }, 'only visible sheet');"
       " same(Api.GetActiveSheet().GetVisible(), true);"},
      {"wrong words and kinds",
       "throwsWith(function () { Api.GetActiveSheet().SetVisibility('gone'); }, 'visible, hidden, veryHidden');"
       " throwsWith(function () { Api.GetActiveSheet().SetVisible('no'); }, 'must be a boolean');"
       " throwsWith(function () { Api.GetActiveSheet().SetActive(1); }, 'takes 0 arguments, not 1');"},
  });
}

TEST(SheetSettingsCalls, TabColorProtectionAndCalculationMode) {
  expectAllPass({
      {"tab colour", "var s = Api.GetActiveSheet(); s.SetTabColor(Api.CreateColorFromRGB(1, 2, 3)); s.SetTabColor(null);"
                     " throwsWith(function () { s.SetTabColor('red'); }, 'a Color');"},
      {"protect and unprotect",
       "var s = Api.GetActiveSheet(); same(s.IsProtected(), false); s.Protect('pw', {formatCells: true, sort: false});"
       " same(s.IsProtected(), true); s.Unprotect(); same(s.IsProtected(), false); s.Protect(); s.Protect(null, null);"},
      {"protect refuses what it cannot write",
       "var s = Api.GetActiveSheet();"
       " throwsWith(function () { s.Protect('pw', {formatcell: true}); }, 'Unknown sheet permission');"
       " throwsWith(function () { s.Protect('pw', {sort: 1}); }, 'permission \"sort\" must be a boolean');"
       " throwsWith(function () { s.Protect('pw', [true]); }, 'an object of permissions');"
       " throwsWith(function () { s.Protect('mot de passe \u00e9'); }, 'printable ASCII');"
       " same(s.IsProtected(), false);"},
      {"calculation mode", "same(Api.GetCalculationMode(), 'auto'); Api.SetCalculationMode('MANUAL');"
                           " same(Api.GetCalculationMode(), 'manual');"
                           " throwsWith(function () { Api.SetCalculationMode('sometimes'); }, 'auto, manual, autoNoTable');"},
      {"forced recalculation", "var s = Api.GetActiveSheet(); s.GetRange('A1').SetValue(2); s.GetRange('B1').SetValue('=A1*3');"
                               " Api.Calculate(); same(s.GetRange('B1').GetValue(), 6);"
                               " throwsWith(function () { Api.Calculate(1); }, '');"},
  });
}

TEST(SheetSettingsCalls, LayoutCallsCheckTheirArguments) {
  expectAllPass({
      {"grouping rows and columns",
       "var s = Api.GetActiveSheet(); s.GetRows('2:4').Group(); s.GetCols('B').Group(7); s.GetRange('A1:C3').GetRows().Group(null);"
       " s.GetRows(3).Ungroup(); s.GetRange('D:E').Group();"
       " throwsWith(function () { s.GetRange('A1:B2').Group(); }, 'call it on GetRows() or GetCols()');"
       " throwsWith(function () { s.GetCols('B').Group(8); }, '');"
       " throwsWith(function () { s.GetCols('B').Group('2'); }, 'must be a number');"},
      {"view and print",
       "var s = Api.GetActiveSheet(); s.SetZoom(75); s.SetDisplayGridlines(false); s.SetPrintGridlines(true);"
       " s.SetDefaultRowHeight(20.25);"
       " throwsWith(function () { s.SetZoom(5); }, ''); throwsWith(function () { s.SetZoom(401); }, '');"
       " throwsWith(function () { s.SetZoom(50.5); }, 'whole number');"
       " throwsWith(function () { s.SetDefaultRowHeight(410); }, 'from 0 to 409 points');"
       " throwsWith(function () { s.SetDisplayGridlines(0); }, 'must be a boolean');"},
      {"page setup",
       "var s = Api.GetActiveSheet(); s.SetPageOrientation('Landscape'); s.SetPaperSize('letter'); s.SetPaperSize(9);"
       " s.SetPageMargins(0.5, 0.5, 1, 1); s.SetPageMargins(0.5, 0.5, 1, 1, 0.2, 0.2); s.SetFitToPage(1, 0); s.SetFitToPage(null);"
       " s.SetHeader('&CReport'); s.SetFooter(null);"
       " throwsWith(function () { s.SetPageOrientation('sideways'); }, 'portrait, landscape');"
       " throwsWith(function () { s.SetPaperSize('A0'); }, 'Letter, Tabloid');"
       " throwsWith(function () { s.SetPaperSize(119); }, '');"
       " throwsWith(function () { s.SetPageMargins(1, 1, 1); }, 'takes 4 to 6 arguments');"
       " throwsWith(function () { s.SetPageMargins(1, 1, 1, -1); }, 'argument 4 must be from 0');"
       " throwsWith(function () { s.SetFitToPage(1); }, 'takes 2 arguments');"
       " throwsWith(function () { s.SetHeader('x'.repeat(256)); }, 'at most 255');"},
  });
}

}  // namespace
}  // namespace sx
