#include <gtest/gtest.h>

#include "script_harness.h"

namespace sx::testing {
namespace {

TEST(RangeRuleCalls, ConditionalFormatsOfEveryKind) {
  expectAllPass(
      {
          {"cell value and expression",
           "var red = Api.CreateColorFromRGB(255, 0, 0);"
           " s.GetRange('A1:A9').AddConditionalFormat({type: 'cellValue', operator: 'between', formula1: 1,"
           " formula2: '=B1', format: {fontColor: red, bold: true, italic: false, numberFormat: '0.0'}});"
           " s.GetRange('B1:B9').AddConditionalFormat({type: 'expression', formula1: '=$A1>2',"
           " format: {fill: red, border: 'thin', borderColor: red}});"},
          {"scales, bars and icons need no format",
           "var c = Api.CreateColorFromRGB(1, 2, 3);"
           " s.GetRange('C1:C9').AddConditionalFormat({type: 'colorScale', colors: [c, c, c]});"
           " s.GetRange('C1:C9').AddConditionalFormat({type: 'dataBar'});"
           " s.GetRange('C1:C9').AddConditionalFormat({type: 'iconSet', iconSet: '5arrows'});"},
          {"ranks, averages, duplicates and text",
           "var f = {bold: true};"
           " s.GetRange('D1:D9').AddConditionalFormat({type: 'top', rank: 20, percent: true, bottom: true, format: f});"
           " s.GetRange('D1:D9').AddConditionalFormat({type: 'aboveAverage', below: true, format: f});"
           " s.GetRange('D1:D9').AddConditionalFormat({type: 'duplicate', format: f});"
           " s.GetRange('D1:D9').AddConditionalFormat({type: 'unique', format: f});"
           " s.GetRange('D1:D9').AddConditionalFormat({type: 'containsText', text: 'late', format: f});"},
      },
      kNewWorkbookWithSheet);
}

TEST(RangeRuleCalls, ConditionalFormatMistakesAreNamed) {
  expectAllPass(
      {
          {"not an object", "throwsWith(function () { s.GetRange('A1').AddConditionalFormat('x'); },"
                            " 'argument 1 must be an object of options');"},
          {"misspelt option", "throwsWith(function () { s.GetRange('A1').AddConditionalFormat({type: 'unique',"
                              " fromat: {bold: true}}); }, 'argument 1: unknown option \"fromat\"');"},
          {"unknown type", "throwsWith(function () { s.GetRange('A1').AddConditionalFormat({type: 'sparkle'}); },"
                           " 'option \"type\" Unknown conditional format type');"},
          {"missing second value",
           "throwsWith(function () { s.GetRange('A1').AddConditionalFormat({type: 'cellValue', operator: 'between',"
           " formula1: 1, format: {bold: true}}); }, 'option \"formula2\" is needed');"},
          {"bad formula", "throwsWith(function () { s.GetRange('A1').AddConditionalFormat({type: 'expression',"
                          " formula1: '=A1>', format: {bold: true}}); }, 'Formula error');"},
          {"format that sets nothing",
           "throwsWith(function () { s.GetRange('A1').AddConditionalFormat({type: 'unique', format: {}}); },"
           " 'option \"format\" sets nothing');"},
          {"nested option named with its parent",
           "throwsWith(function () { s.GetRange('A1').AddConditionalFormat({type: 'unique', format: {fill: 'red'}}); },"
           " 'option \"format\": option \"fill\" must be a Color');"},
          {"number format checked as a cell's",
           "throwsWith(function () { s.GetRange('A1').AddConditionalFormat({type: 'unique', format: {numberFormat:"
           " '0.0\"'}}); }, 'option \"format\": option \"numberFormat\" Malformed number format code');"},
          {"rank within its bounds",
           "throwsWith(function () { s.GetRange('A1').AddConditionalFormat({type: 'top', rank: 101, percent: true,"
           " format: {bold: true}}); }, 'option \"rank\" must be a whole number from 1 to 100');"},
          {"two or three colours", "throwsWith(function () { s.GetRange('A1').AddConditionalFormat({type: 'colorScale',"
                                   " colors: [Api.CreateColorFromRGB(1, 2, 3)]}); }, 'array of 2 or 3 Colors');"},
          {"unknown icons", "throwsWith(function () { s.GetRange('A1').AddConditionalFormat({type: 'iconSet',"
                            " iconSet: '7Stars'}); }, 'Unknown icon set');"},
      },
      kNewWorkbookWithSheet);
}

TEST(RangeRuleCalls, ValidationsAndTheirMistakes) {
  expectAllPass(
      {
          {"lists inline and from cells",
           "s.GetRange('A1:A5').SetValidation({type: 'list', source: 'low,mid,high', dropDown: true});"
           " Api.AddSheet('Lists'); s.GetRange('B1').SetValidation({type: 'list', source: '=Lists!$A$1:$A$3'});"},
          {"numbers, dates and texts",
           "s.GetRange('C1').SetValidation({type: 'whole', operator: 'greaterThan', formula1: 0,"
           " errorStyle: 'warning', errorTitle: 'Count', errorMessage: 'Whole numbers above 0'});"
           " s.GetRange('D1').SetValidation({type: 'date', formula1: new Date(2024, 0, 1), formula2: new Date(2024, 11, 31),"
           " inputTitle: 'When', inputMessage: 'A day of 2024', allowBlank: false});"
           " s.GetRange('E1').SetValidation({type: 'textLength', operator: 'lessThanOrEqual', formula1: 10});"
           " s.GetRange('F1').SetValidation({type: 'custom', formula1: '=ISNUMBER(F1)'});"},
          {"a second validation over part of one is refused",
           "s.GetRange('A1:A5').SetValidation({type: 'whole', formula1: 1, formula2: 5});"
           " throwsWith(function () { s.GetRange('A4:A8').SetValidation({type: 'custom', formula1: 'TRUE'}); },"
           " 'overlaps the one on A1:A5');"
           " s.GetRange('A1:A9').SetValidation({type: 'custom', formula1: 'TRUE'});"},
          {"list mistakes",
           "throwsWith(function () { s.GetRange('A1').SetValidation({type: 'list'}); }, 'option \"source\" is needed');"
           " throwsWith(function () { s.GetRange('A1').SetValidation({type: 'list', source: ''}); }, 'at least one item');"
           " throwsWith(function () { s.GetRange('A1').SetValidation({type: 'list', source: '='}); }, 'must name cells');"},
          {"values and texts",
           "throwsWith(function () { s.GetRange('A1').SetValidation({type: 'decimal', formula1: 1}); },"
           " 'option \"formula2\" is needed');"
           " throwsWith(function () { s.GetRange('A1').SetValidation({type: 'whole', operator: 'equal', formula1: true}); },"
           " 'must be a number or a formula');"
           " throwsWith(function () { s.GetRange('A1').SetValidation({type: 'custom', formula1: '1', errorTitle:"
           " 'x'.repeat(33)}); }, 'at most 32 characters');"
           " throwsWith(function () { s.GetRange('A1').SetValidation({type: 'custom', formula1: '1', errorStyle: 'loud'}); },"
           " 'Unknown validation error style');"},
      },
      kNewWorkbookWithSheet);
}

TEST(RangeRuleCalls, Hyperlinks) {
  expectAllPass(
      {
          {"display text becomes the cell's, with the link look",
           "s.GetRange('A1').SetHyperlink({url: 'https://example.com', display: 'Example', tooltip: 'Open'});"
           " same(s.GetRange('A1').GetValue(), 'Example');"
           " Api.AddSheet('Data'); s.GetRange('B1').SetValue(7);"
           " s.GetRange('B1').SetHyperlink({location: 'Data!A1', style: false}); same(s.GetRange('B1').GetValue(), 7);"},
          {"one target",
           "throwsWith(function () { s.GetRange('A1').SetHyperlink({display: 'x'}); }, 'or \"location\" is needed');"
           " throwsWith(function () { s.GetRange('A1').SetHyperlink({url: 'a', location: 'A2'}); }, 'not both');"
           " throwsWith(function () { s.GetRange('A1').SetHyperlink({url: ''}); }, 'must not be empty');"
           " throwsWith(function () { s.GetRange('A1').SetHyperlink({location: 'A1:'}); }, 'Formula error');"
           " throwsWith(function () { s.GetRange('A1').SetHyperlink({url: 'a', tooltip: 'x'.repeat(256)}); },"
           " 'at most 255 characters');"},
      },
      kNewWorkbookWithSheet);
}

TEST(RangeRuleCalls, RichText) {
  expectAllPass(
      {
          {"value is the joined text",
           "s.GetRange('A1').SetRichText([{text: 'Net ', bold: true, color: Api.CreateColorFromRGB(200, 0, 0)},"
           " {text: 'income', italic: true, size: 14, fontName: 'Arial', underline: true, strikethrough: false}]);"
           " same(s.GetRange('A1').GetValue(), 'Net income');"},
          {"mistakes",
           "throwsWith(function () { s.GetRange('A1:B2').SetRichText([{text: 'x'}]); }, 'works on one cell');"
           " throwsWith(function () { s.GetRange('A1').SetRichText([]); }, '1 to 1000 runs');"
           " throwsWith(function () { s.GetRange('A1').SetRichText('x'); }, 'an array of runs');"
           " throwsWith(function () { s.GetRange('A1').SetRichText([{text: 'a'}, {bold: true}]); },"
           " 'run 2: option \"text\" is needed');"
           " throwsWith(function () { s.GetRange('A1').SetRichText([{text: ''}]); }, '1 to 32,767 characters');"
           " throwsWith(function () { s.GetRange('A1').SetRichText([{text: 'a', size: 500}]); }, 'from 1 to 409');"},
      },
      kNewWorkbookWithSheet);
}

TEST(RangeRuleCalls, FilterAndPrintAreas) {
  expectAllPass(
      {
          {"set", "s.SetAutoFilter('A1:D20'); s.SetPrintArea('A1:F40'); s.SetPrintTitles('1:2', 'A');"
                  " s.SetPrintTitles(null, 'A:B');"},
          {"wrong shapes and kinds",
           "throwsWith(function () { s.SetPrintTitles('A1:B2'); }, 'is not whole rows');"
           " throwsWith(function () { s.SetPrintTitles(null, '1:2'); }, 'is not whole columns');"
           " throwsWith(function () { s.SetPrintTitles(null, null); }, 'needs rows, columns or both');"
           " throwsWith(function () { s.SetPrintArea(5); }, 'argument 1 must be a string');"
           " throwsWith(function () { s.SetAutoFilter('A1:'); }, 'A1:');"},
      },
      kNewWorkbookWithSheet);
}

}  // namespace
}  // namespace sx::testing
