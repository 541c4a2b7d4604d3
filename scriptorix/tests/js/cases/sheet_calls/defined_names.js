// Defined names.
builder.CreateFile('xlsx');

// case: a reference without a sheet means this sheet
var s = Api.GetActiveSheet(); s.AddDefName('Total', '$A$1:$B$2');
var d = s.GetRange('A1:B2').GetDefName(); same(d.GetName(), 'Total');
same(d.GetRefersTo(), '=Sheet1!$A$1:$B$2');

// case: quoted sheet in the reference
Api.AddSheet("Bob's data"); var s = Api.GetActiveSheet();
s.AddDefName('Cells', "'Bob''s data'!$C$3"); same(s.GetRange('C3').GetDefName().GetName(), 'Cells');

// case: a sheet name that needs quotes gets them, and formulas read the name
var s = Api.AddSheet('.x'); s.GetRange('A1').SetValue(5); s.AddDefName('Five', '$A$1');
same(s.GetRange('A1').GetDefName().GetRefersTo(), "='.x'!$A$1");
var f = Api.GetSheets()[0].GetRange('B1'); f.SetValue('=Five*2'); same(f.GetValue(), 10);

// case: no name for another range
var s = Api.GetActiveSheet(); s.AddDefName('One', '$A$1');
same(s.GetRange('A2').GetDefName(), null);

// case: taken and invalid names
var s = Api.GetActiveSheet(); s.AddDefName('One', '$A$1');
throwsWith(function () { s.AddDefName('one', '$A$2'); }, '');
throwsWith(function () { s.AddDefName('A1', '$A$2'); }, '');
throwsWith(function () { s.AddDefName('bad name', '$A$2'); }, '');

// case: unknown sheet in the reference
throwsWith(function () { Api.GetActiveSheet().AddDefName('X', 'Nope!$A$1'); }, 'does not exist');

// case: freeze panes take counts
Api.GetActiveSheet().SetFreezePanes(1, 2);
throwsWith(function () { Api.GetActiveSheet().SetFreezePanes(-1, 0); }, 'must be from 0');
