// Range selection.
builder.CreateFile('xlsx');

// case: GetRangeByNumber is 0-based
same(Api.GetActiveSheet().GetRangeByNumber(0, 0).GetAddress(), 'A1');
same(Api.GetActiveSheet().GetRangeByNumber(2, 27).GetAddress(), 'AB3');

// case: GetRangeByNumber limits
same(Api.GetActiveSheet().GetRangeByNumber(1048575, 16383).GetAddress(), 'XFD1048576');
throwsWith(function () { Api.GetActiveSheet().GetRangeByNumber(1048576, 0); }, 'must be from 0');
throwsWith(function () { Api.GetActiveSheet().GetRangeByNumber(-1, 0); }, 'must be from 0');
throwsWith(function () { Api.GetActiveSheet().GetRangeByNumber(1.5, 0); }, 'whole number');
throwsWith(function () { Api.GetActiveSheet().GetRangeByNumber('1', 0); }, 'must be a number');

// case: GetRows by number and text
var s = Api.GetActiveSheet(); same(s.GetRows(3).GetAddress(), '3:3');
same(s.GetRows('1:3').GetAddress(), '1:3'); same(s.GetRows('4').GetAddress(), '4:4');
same(s.GetRows('1:3').GetCount(), 3);

// case: GetCols by number and text
var s = Api.GetActiveSheet(); same(s.GetCols(3).GetAddress(), 'C:C');
same(s.GetCols('A:C').GetAddress(), 'A:C'); same(s.GetCols('D').GetAddress(), 'D:D');
same(s.GetCols('A:C').GetCount(), 3);

// case: GetRows refuses what is not rows
var s = Api.GetActiveSheet();
throwsWith(function () { s.GetRows(0); }, 'must be from 1');
throwsWith(function () { s.GetRows('A1:B2'); }, 'not whole rows');
throwsWith(function () { s.GetRows('A:C'); }, 'not whole rows');
throwsWith(function () { s.GetRows(true); }, 'row number');
throwsWith(function () { s.GetRows(1048577); }, 'must be from 1');

// case: GetCols refuses what is not columns
var s = Api.GetActiveSheet();
throwsWith(function () { s.GetCols('1:3'); }, 'not whole columns');
throwsWith(function () { s.GetCols(16385); }, 'must be from 1');
throwsWith(function () { s.GetCols('XFE'); }, '');

// case: GetRange beyond the limits
throwsWith(function () { Api.GetActiveSheet().GetRange('XFE1'); }, '');
throwsWith(function () { Api.GetActiveSheet().GetRange('A1048577'); }, '');
throwsWith(function () { Api.GetActiveSheet().GetRange('not a ref'); }, '');

// case: used range
var s = Api.GetActiveSheet(); same(s.GetUsedRange().GetAddress(), 'A1');
s.GetRange('C3').SetValue(1); s.GetRange('B5').SetValue('x');
same(s.GetUsedRange().GetAddress(), 'B3:C5');
