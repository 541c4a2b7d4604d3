// Handles survive rename and move.
builder.CreateFile('xlsx');

// case: sheet handle after rename
var s = Api.GetActiveSheet(); s.SetName('Renamed'); same(s.GetName(), 'Renamed');
same(Api.GetSheets()[0].GetName(), 'Renamed');

// case: range handle after rename and move
var s = Api.GetActiveSheet(); var r = s.GetRange('B2'); Api.AddSheet('Other');
s.SetName('Moved'); s.Move(null, Api.GetSheets()[1]); r.SetValue(7);
same(Api.GetSheets()[1].GetRange('B2').GetValue(), 7);
same(r.GetAddress(false, true), 'Moved!B2');
