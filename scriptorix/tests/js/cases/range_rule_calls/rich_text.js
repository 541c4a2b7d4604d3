// Rich text.
builder.CreateFile('xlsx');
var s = Api.GetActiveSheet();

// case: value is the joined text
s.GetRange('A1').SetRichText([{text: 'Net ', bold: true, color: Api.CreateColorFromRGB(200, 0, 0)},
{text: 'income', italic: true, size: 14, fontName: 'Arial', underline: true, strikethrough: false}]);
same(s.GetRange('A1').GetValue(), 'Net income');

// case: mistakes
throwsWith(function () { s.GetRange('A1:B2').SetRichText([{text: 'x'}]); }, 'works on one cell');
throwsWith(function () { s.GetRange('A1').SetRichText([]); }, '1 to 1000 runs');
throwsWith(function () { s.GetRange('A1').SetRichText('x'); }, 'an array of runs');
throwsWith(function () { s.GetRange('A1').SetRichText([{text: 'a'}, {bold: true}]); },
'run 2: option "text" is needed');
throwsWith(function () { s.GetRange('A1').SetRichText([{text: ''}]); }, '1 to 32,767 characters');
throwsWith(function () { s.GetRange('A1').SetRichText([{text: 'a', size: 500}]); }, 'from 1 to 409');
