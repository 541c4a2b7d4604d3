// Delete keeps a visible sheet and invalidates handles.
builder.CreateFile('xlsx');

// case: references become #REF!
var d = Api.AddSheet('Data'); d.GetRange('A1').SetValue(2);
var s = Api.GetSheet('Sheet1'); s.GetRange('A1').SetValue('=Data!A1*2'); same(s.GetRange('A1').GetValue(), 4);
d.Delete(); same(s.GetRange('A1').GetFormula(), '=#REF!*2'); same(s.GetRange('A1').GetValue(), '#REF!');
same(Api.GetSheets().length, 1); same(Api.GetActiveSheet().GetName(), 'Sheet1');

// case: handles of the deleted sheet throw
var d = Api.AddSheet('Data'); var r = d.GetRange('A1'); d.Delete();
throwsWith(function () { d.GetName(); }, 'sheet that was deleted');
throwsWith(function () { r.SetValue(1); }, 'sheet that was deleted');

// case: the last visible sheet stays
throwsWith(function () { Api.GetActiveSheet().Delete(); }, 'only visible sheet');
var h = Api.AddSheet('H'); h.SetVisible(false);
throwsWith(function () { Api.GetSheet('Sheet1').Delete(); }, 'only visible sheet'); h.Delete();
