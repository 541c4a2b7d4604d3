// Set value with rows of values.
builder.CreateFile('xlsx');
var s = Api.GetActiveSheet();

// case: a range of the same size
s.GetRange('B2:D3').SetValue([['a', 1, true], [null, '=C2*2', '00123']]);
same(s.GetRange('B2:D3').GetValue(), [['a', 1, true], ['', 2, '00123']]);

// case: a single cell takes the size of the rows
s.GetRange('C5').SetValue([[1, 2], [3, 4], [5, 6]]); same(s.GetUsedRange().GetAddress(), 'C5:D7');
same(s.GetRange('D7').GetValue(), 6);

// case: formulas are taken as written, not shifted
s.GetRange('A1:A2').SetValue([['=B1'], ['=B1']]); same(s.GetRange('A1:A2').GetFormula(), [['=B1'], ['=B1']]);

// case: null clears one cell only
s.GetRange('A1:B1').SetValue(7); s.GetRange('A1:B1').SetValue([[null, 8]]); same(s.GetRange('A1:B1').GetValue(), [['', 8]]);
