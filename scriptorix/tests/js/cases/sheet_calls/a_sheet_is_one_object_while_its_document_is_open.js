// A sheet is one object while its document is open.
builder.CreateFile('xlsx');

// case: every way to a sheet gives the same object
var a = Api.GetActiveSheet(); var b = Api.AddSheet('B');
same(Api.GetSheets()[0] === a, true); same(Api.GetActiveSheet() === b, true);
same(a === b, false);

// case: a new document gets new objects, the old ones throw
var old = Api.GetActiveSheet(); builder.CloseFile(); builder.CreateFile('xlsx');
var now = Api.GetActiveSheet(); same(now === old, false); same(now.GetName(), 'Sheet1');
throwsWith(function () { old.GetName(); }, 'closed');
