// Argument counts and kinds.
builder.CreateFile('xlsx');

// case: GetName takes none
throwsWith(function () { Api.GetActiveSheet().GetName(1); }, 'Worksheet.GetName takes 0 arguments, not 1');

// case: SetName wants a string
throwsWith(function () { Api.GetActiveSheet().SetName(5); }, 'Worksheet.SetName: argument 1 must be a string, not a number');

// case: GetRange wants one
throwsWith(function () { Api.GetActiveSheet().GetRange(); }, 'takes 1 argument, not 0');

// case: Move wants a sheet
throwsWith(function () { Api.GetActiveSheet().Move('Sheet1'); }, 'must be a Worksheet or null');

// case: Move refuses a range
var s = Api.GetActiveSheet(); throwsWith(function () { s.Move(s.GetRange('A1')); }, 'must be a Worksheet');

// case: AddSheet wants a string
throwsWith(function () { Api.AddSheet(null); }, 'must be a string, not null');

// case: colour components
throwsWith(function () { Api.CreateColorFromRGB(256, 0, 0); }, 'must be from 0 to 255');
throwsWith(function () { Api.CreateColorFromRGB('1', 0, 0); }, 'must be a number');
throwsWith(function () { Api.CreateColorFromRGB(1, 0); }, 'takes 3 arguments');

// case: a method on the wrong object
var s = Api.GetActiveSheet(); var f = s.GetName;
throwsWith(function () { f.call(s.GetRange('A1')); }, 'called on an object of another kind');
throwsWith(function () { f.call({}); }, 'another kind');

// case: methods live on the prototype
var s = Api.GetActiveSheet(); same(Object.keys(s), []);
same(typeof Object.getPrototypeOf(s).GetName, 'function');
same(s.hasOwnProperty('GetName'), false);
