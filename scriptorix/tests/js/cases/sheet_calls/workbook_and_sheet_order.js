// Workbook and sheet order.
builder.CreateFile('xlsx');

// case: new workbook
same(Api.GetActiveSheet().GetName(), 'Sheet1'); same(Api.GetSheets().length, 1);

// case: added sheet is appended and active
var s = Api.AddSheet('Data'); same(s.GetName(), 'Data');
same(Api.GetActiveSheet().GetName(), 'Data');
same(Api.GetSheets().map(function (x) { return x.GetName(); }), ['Sheet1', 'Data']);

// case: move before
Api.AddSheet('B'); Api.AddSheet('C'); var s = Api.GetSheets();
s[2].Move(s[0]); same(Api.GetSheets().map(function (x) { return x.GetName(); }), ['C', 'Sheet1', 'B']);

// case: move after when before is null
Api.AddSheet('B'); Api.AddSheet('C'); var s = Api.GetSheets();
s[0].Move(null, s[1]); same(Api.GetSheets().map(function (x) { return x.GetName(); }), ['B', 'Sheet1', 'C']);

// case: move after the last sheet
Api.AddSheet('B'); var s = Api.GetSheets(); s[0].Move(null, s[1]);
same(Api.GetSheets().map(function (x) { return x.GetName(); }), ['B', 'Sheet1']);

// case: nothing to move against throws and leaves the order (a bad index, a misspelt name)
Api.AddSheet('B'); var s = Api.GetSheets();
throwsWith(function () { s[0].Move(s[5]); }, 'no sheet to move before or after');
throwsWith(function () { s[0].Move(null, undefined); }, 'no sheet to move before or after');
throwsWith(function () { s[0].Move(); }, 'no sheet to move before or after');
same(Api.GetSheets().map(function (x) { return x.GetName(); }), ['Sheet1', 'B']);

// case: a sheet of a closed document
var old = Api.GetActiveSheet(); builder.CloseFile(); builder.CreateFile('xlsx');
Api.AddSheet('B'); throwsWith(function () { Api.GetActiveSheet().Move(old); }, 'document that was closed');
