// Layout calls check their arguments.
builder.CreateFile('xlsx');

// case: grouping rows and columns
var s = Api.GetActiveSheet(); s.GetRows('2:4').Group(); s.GetCols('B').Group(7); s.GetRange('A1:C3').GetRows().Group(null);
s.GetRows(3).Ungroup(); s.GetRange('D:E').Group();
throwsWith(function () { s.GetRange('A1:B2').Group(); }, 'call it on GetRows() or GetCols()');
throwsWith(function () { s.GetCols('B').Group(8); }, '');
throwsWith(function () { s.GetCols('B').Group('2'); }, 'must be a number');

// case: view and print
var s = Api.GetActiveSheet(); s.SetZoom(75); s.SetDisplayGridlines(false); s.SetPrintGridlines(true);
s.SetDefaultRowHeight(20.25);
throwsWith(function () { s.SetZoom(5); }, ''); throwsWith(function () { s.SetZoom(401); }, '');
throwsWith(function () { s.SetZoom(50.5); }, 'whole number');
throwsWith(function () { s.SetDefaultRowHeight(410); }, 'from 0 to 409 points');
throwsWith(function () { s.SetDisplayGridlines(0); }, 'must be a boolean');

// case: page setup
var s = Api.GetActiveSheet(); s.SetPageOrientation('Landscape'); s.SetPaperSize('letter'); s.SetPaperSize(9);
s.SetPageMargins(0.5, 0.5, 1, 1); s.SetPageMargins(0.5, 0.5, 1, 1, 0.2, 0.2); s.SetFitToPage(1, 0); s.SetFitToPage(null);
s.SetHeader('&CReport'); s.SetFooter(null);
throwsWith(function () { s.SetPageOrientation('sideways'); }, 'portrait, landscape');
throwsWith(function () { s.SetPaperSize('A0'); }, 'Letter, Tabloid');
throwsWith(function () { s.SetPaperSize(119); }, '');
throwsWith(function () { s.SetPageMargins(1, 1, 1); }, 'takes 4 to 6 arguments');
throwsWith(function () { s.SetPageMargins(1, 1, 1, -1); }, 'argument 4 must be from 0');
throwsWith(function () { s.SetFitToPage(1); }, 'takes 2 arguments');
throwsWith(function () { s.SetHeader('x'.repeat(256)); }, 'at most 255');
