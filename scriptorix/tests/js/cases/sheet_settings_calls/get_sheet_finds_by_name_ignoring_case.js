// Get sheet finds by name ignoring case.
builder.CreateFile('xlsx');

// case: same object
var d = Api.AddSheet('Data'); same(Api.GetSheet('DATA') === d, true);

// case: absent is null
same(Api.GetSheet('Nope'), null); same(Api.GetSheet(''), null);

// case: follows a rename
Api.GetActiveSheet().SetName('Q1'); same(Api.GetSheet('q1').GetName(), 'Q1');

// case: wrong kind
throwsWith(function () { Api.GetSheet(1); }, 'argument 1 must be a string');
