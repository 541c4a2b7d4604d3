// Filter and print areas.
builder.CreateFile('xlsx');
var s = Api.GetActiveSheet();

// case: set
s.SetAutoFilter('A1:D20'); s.SetPrintArea('A1:F40'); s.SetPrintTitles('1:2', 'A');
s.SetPrintTitles(null, 'A:B');

// case: wrong shapes and kinds
throwsWith(function () { s.SetPrintTitles('A1:B2'); }, 'is not whole rows');
throwsWith(function () { s.SetPrintTitles(null, '1:2'); }, 'is not whole columns');
throwsWith(function () { s.SetPrintTitles(null, null); }, 'needs rows, columns or both');
throwsWith(function () { s.SetPrintArea(5); }, 'argument 1 must be a string');
throwsWith(function () { s.SetAutoFilter('A1:'); }, 'A1:');
