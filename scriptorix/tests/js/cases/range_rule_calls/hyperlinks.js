// Hyperlinks.
builder.CreateFile('xlsx');
var s = Api.GetActiveSheet();

// case: display text becomes the cell's, with the link look
s.GetRange('A1').SetHyperlink({url: 'https://example.com', display: 'Example', tooltip: 'Open'});
same(s.GetRange('A1').GetValue(), 'Example');
Api.AddSheet('Data'); s.GetRange('B1').SetValue(7);
s.GetRange('B1').SetHyperlink({location: 'Data!A1', style: false}); same(s.GetRange('B1').GetValue(), 7);

// case: one target
throwsWith(function () { s.GetRange('A1').SetHyperlink({display: 'x'}); }, 'or "location" is needed');
throwsWith(function () { s.GetRange('A1').SetHyperlink({url: 'a', location: 'A2'}); }, 'not both');
throwsWith(function () { s.GetRange('A1').SetHyperlink({url: ''}); }, 'must not be empty');
throwsWith(function () { s.GetRange('A1').SetHyperlink({location: 'A1:'}); }, 'Formula error');
throwsWith(function () { s.GetRange('A1').SetHyperlink({url: 'a', tooltip: 'x'.repeat(256)}); },
'at most 255 characters');
