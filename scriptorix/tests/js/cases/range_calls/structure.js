// Structure.
builder.CreateFile('xlsx');
var s = Api.GetActiveSheet();

// case: copy shifts relative references
s.GetRange('A1').SetValue(2); s.GetRange('B1').SetValue('=A1*3'); s.GetRange('B1').Copy(s.GetRange('C2'));
same(s.GetRange('C2').GetFormula(), '=B2*3');

// case: copy to another sheet
s.GetRange('A1:B1').SetValue(4); var o = Api.AddSheet('Other');
s.GetRange('A1:B1').Copy(o.GetRange('B2')); same(o.GetRange('B2:C2').GetValue(), [[4, 4]]);

// case: copy wants a range
throwsWith(function () { s.GetRange('A1').Copy('B2'); }, 'must be a Range');

// case: delete up shifts cells
s.GetRange('A1').SetValue(1); s.GetRange('A2').SetValue(2);
s.GetRange('A1').Delete('up'); same(s.GetRange('A1').GetValue(), 2);

// case: delete defaults to up
s.GetRange('A2').SetValue(2); s.GetRange('A1').Delete(); same(s.GetRange('A1').GetValue(), 2);
s.GetRange('A2').SetValue(3); s.GetRange('A1').Delete(null); same(s.GetRange('A1').GetValue(), 3);

// case: delete left
s.GetRange('B1').SetValue(2); s.GetRange('A1').Delete('left'); same(s.GetRange('A1').GetValue(), 2);

// case: insert down and right
s.GetRange('A1').SetValue(1); s.GetRange('A1').Insert('down'); same(s.GetRange('A2').GetValue(), 1);
s.GetRange('A2').Insert('right'); same(s.GetRange('B2').GetValue(), 1);

// case: unknown shift
throwsWith(function () { s.GetRange('A1').Delete('down'); }, '');
throwsWith(function () { s.GetRange('A1').Insert('up'); }, '');
throwsWith(function () { s.GetRange('A1').Insert(1); }, 'must be a string');

// case: merge and clear
s.GetRange('A1:B2').Merge(false); s.GetRange('A1:B2').Merge(true); s.GetRange('A1:B2').Merge(null);
s.GetRange('A1').SetValue(1); s.GetRange('A1:B2').Clear(); same(s.GetRange('A1').GetValue(), '');

// case: merge wants a boolean
throwsWith(function () { s.GetRange('A1:B2').Merge('yes'); }, 'must be a boolean');

// case: unmerge removes the whole area it touches
s.GetRange('A1:B2').Merge(false); throwsWith(function () { s.GetRange('A2').Insert('right'); }, 'merged area');
s.GetRange('B2').UnMerge(); s.GetRange('A2').Insert('right');
throwsWith(function () { s.GetRange('A1').UnMerge(1); }, '');

// case: references follow deleted rows
s.GetRange('A3').SetValue(5); s.GetRange('B1').SetValue('=A3');
s.GetRows('2').Delete('up'); same(s.GetRange('B1').GetFormula(), '=A2');
