// Formatting checks its arguments.
builder.CreateFile('xlsx');
var s = Api.GetActiveSheet();

// case: accepted words
var r = s.GetRange('A1:B2'); r.SetAlignHorizontal('center'); r.SetAlignVertical('distributed');
r.SetBorders('InsideHorizontal', 'Double', Api.CreateColorFromRGB(1, 2, 3)); r.SetWrap(true);
r.SetNumberFormat('0.00'); r.SetColumnWidth(12.5); r.SetFontName('Arial');
r.SetFillColor(Api.CreateColorFromRGB(255, 0, 0)); r.SetFillColor(null); r.SetBold(true);
r.SetItalic(false); r.SetUnderline(true); r.SetFontSize(14); r.SetFontColor(Api.CreateColorFromRGB(0, 0, 255));
r.SetRowHeight(20);

// case: unknown alignment
throwsWith(function () { s.GetRange('A1').SetAlignHorizontal('middle'); }, '');

// case: unknown vertical alignment
throwsWith(function () { s.GetRange('A1').SetAlignVertical('left'); }, '');

// case: unknown border position
throwsWith(function () { s.GetRange('A1').SetBorders('Outside', 'Thin', Api.CreateColorFromRGB(0, 0, 0)); }, '');

// case: unknown line style
throwsWith(function () { s.GetRange('A1').SetBorders('Top', 'Wavy', Api.CreateColorFromRGB(0, 0, 0)); }, '');

// case: border colour must be a Color
throwsWith(function () { s.GetRange('A1').SetBorders('Top', 'Thin', 0); }, 'must be a Color');
throwsWith(function () { s.GetRange('A1').SetBorders('Top', 'Thin'); }, 'takes 3 arguments');

// case: fill colour must be a Color
throwsWith(function () { s.GetRange('A1').SetFillColor({r: 1, g: 2, b: 3}); }, 'must be a Color');

// case: wrap wants a boolean
throwsWith(function () { s.GetRange('A1').SetWrap(1); }, 'must be a boolean, not a number');

// case: width wants a number
throwsWith(function () { s.GetRange('A1').SetColumnWidth('12'); }, 'must be a number, not a string');
throwsWith(function () { s.GetRange('A1').SetColumnWidth(NaN); }, 'finite');
throwsWith(function () { s.GetRange('A1').SetColumnWidth(300); }, '');

// case: font name
throwsWith(function () { s.GetRange('A1').SetFontName(''); }, 'must not be empty');

// case: number format wants a string
throwsWith(function () { s.GetRange('A1').SetNumberFormat(2); }, 'must be a string');

// case: hidden needs rows or columns
s.GetRows('2:3').SetHidden(true); s.GetRange('A1:B2').GetCols().SetHidden(true);
throwsWith(function () { s.GetRange('A1').SetHidden(true); }, 'GetRows() or GetCols()');

// case: extra arguments
throwsWith(function () { s.GetRange('A1').SetWrap(true, 1); }, 'Range.SetWrap takes 1 argument, not 2');
