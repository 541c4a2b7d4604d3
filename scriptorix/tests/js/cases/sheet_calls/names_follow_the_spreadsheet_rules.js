// Names follow the spreadsheet rules.
builder.CreateFile('xlsx');

// case: unique ignoring case
throwsWith(function () { Api.AddSheet('sheet1'); }, 'already exists');

// case: too long
throwsWith(function () { Api.AddSheet('x'.repeat(32)); }, '');

// case: forbidden character
throwsWith(function () { Api.GetActiveSheet().SetName('a/b'); }, '');

// case: empty
throwsWith(function () { Api.GetActiveSheet().SetName(''); }, '');

// case: 31 characters are fine
Api.GetActiveSheet().SetName('x'.repeat(31)); same(Api.GetActiveSheet().GetName().length, 31);

// case: renaming to its own name in other case
Api.GetActiveSheet().SetName('SHEET1'); same(Api.GetActiveSheet().GetName(), 'SHEET1');
