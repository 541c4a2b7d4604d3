// Rows that do not fit are refused wholly.
builder.CreateFile('xlsx');
var s = Api.GetActiveSheet();

// case: wrong shape
throwsWith(function () { s.GetRange('A1:B2').SetValue([[1, 2, 3]]); },
'1 rows of 3 values do not fit a range of 2 rows and 2 columns');
same(s.GetRange('A1').GetValue(), '');

// case: ragged rows
throwsWith(function () { s.GetRange('A1').SetValue([[1, 2], [3]]); }, 'row 2 has 1 values');

// case: flat array
throwsWith(function () { s.GetRange('A1').SetValue([1, 2]); }, 'row 1 must be an array');

// case: empty
throwsWith(function () { s.GetRange('A1').SetValue([]); }, 'empty');
throwsWith(function () { s.GetRange('A1').SetValue([[]]); }, 'no values');

// case: object value
throwsWith(function () { s.GetRange('A1').SetValue([[1, {}]]); }, 'row 1, column 2 must be');
same(s.GetRange('A1').GetValue(), '');

// case: bad date after good values
throwsWith(function () { s.GetRange('A1').SetValue([[1], [new Date(1800, 0, 1)]]); }, 'between');
same(s.GetRange('A1').GetValue(), '');

// case: past the sheet
throwsWith(function () { s.GetRange('XFD1').SetValue([[1, 2]]); }, 'past the last');

// case: NaN in a row
throwsWith(function () { s.GetRange('A1').SetValue([[2, NaN]]); }, 'column 2 is not a finite number');
same(s.GetRange('A1').GetValue(), '');
