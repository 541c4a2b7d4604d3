// Find.
builder.CreateFile('xlsx');
var s = Api.GetActiveSheet();

// case: first match row by row ignoring case
s.GetRange('B1').SetValue('other'); s.GetRange('A2').SetValue('Total due'); s.GetRange('C1').SetValue('TOTAL');
same(s.GetRange('A1:C3').Find('total').GetAddress(), 'C1');

// case: no match is null
s.GetRange('A1').SetValue('x'); same(s.GetRange('A1:B2').Find('y'), null);

// case: only inside the range
s.GetRange('D4').SetValue('x'); same(s.GetRange('A1:B2').Find('x'), null);

// case: displayed text counts
s.GetRange('A1').SetValue(0.5); s.GetRange('A1').SetNumberFormat('0%');
same(s.GetRange('A1:A2').Find('50%').GetAddress(), 'A1');

// case: wants a string
throwsWith(function () { s.GetRange('A1').Find(5); }, 'must be a string');
