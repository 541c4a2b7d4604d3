// Ranges answer no get name.
builder.CreateFile('xlsx');
var s = Api.GetActiveSheet();

// case: GetName absent
same(typeof s.GetRange('A1').GetName, 'undefined'); same('GetName' in s.GetRange('A1'), false);

// case: views and found cells too
s.GetRange('A1').SetValue('x'); same(typeof s.GetRange('A1').GetRows().GetName, 'undefined');
same(typeof s.GetRange('A1:B2').Find('x').GetName, 'undefined');

// case: sheets answer it
same(typeof s.GetName, 'function');
