// Addresses and counts.
builder.CreateFile('xlsx');
var s = Api.GetActiveSheet();

// case: flags
var r = s.GetRange('A1:B2'); same(r.GetAddress(false, false), 'A1:B2');
same(r.GetAddress(true, false), '$A$1:$B$2'); same(r.GetAddress(false, true), 'Sheet1!A1:B2');
same(r.GetAddress(true, true), 'Sheet1!$A$1:$B$2'); same(r.GetAddress(), 'A1:B2');

// case: one cell
same(s.GetRange('c3').GetAddress(true, false), '$C$3');

// case: whole rows and columns
same(s.GetRange('1:3').GetAddress(), '1:3'); same(s.GetRange('A:C').GetAddress(true, false), '$A:$C');

// case: quoted sheet name
s.SetName('My data'); same(s.GetRange('A1').GetAddress(false, true), "'My data'!A1");

// case: flags must be booleans
throwsWith(function () { s.GetRange('A1').GetAddress('yes'); }, 'must be a boolean');

// case: cell count
same(s.GetRange('A1:C4').GetCount(), 12);

// case: rows view counts rows
same(s.GetRange('A1:C4').GetRows().GetCount(), 4); same(s.GetRange('A1:C4').GetCols().GetCount(), 3);

// case: views keep the cells
same(s.GetRange('A1:C4').GetRows().GetAddress(), 'A1:C4');

// case: nth row and column of a range
var r = s.GetRange('B2:D5'); same(r.GetRows(2).GetAddress(), 'B3:D3');
same(r.GetCols(3).GetAddress(), 'D2:D5'); same(r.GetRows(2).GetCount(), 3);

// case: nth row of whole rows stays whole
same(s.GetRange('2:4').GetRows(3).GetAddress(), '4:4');
same(s.GetRange('A:C').GetRows(2).GetAddress(), 'A2:C2');

// case: nth beyond the range
throwsWith(function () { s.GetRange('A1:B2').GetRows(3); }, 'must be from 1 to 2');
throwsWith(function () { s.GetRange('A1:B2').GetCols(0); }, 'must be from 1 to 2');

// case: whole column count
same(s.GetCols('A:B').GetCount(), 2); same(s.GetRange('A:B').GetCount(), 2097152);
