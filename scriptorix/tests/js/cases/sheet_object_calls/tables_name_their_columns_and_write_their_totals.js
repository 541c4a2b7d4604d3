// Tables name their columns and write their totals.
builder.CreateFile('xlsx');
var s = Api.GetActiveSheet();

// case: header names made unique and written back
s.GetRange('A1:D3').SetValue([['Item', '', 'item', 2024], ['a', 1, 2, 3], ['b', 4, 5, 6]]);
s.AddTable('A1:D3', 'Sales'); same(s.GetTableNames(), ['Sales']);
same(s.GetRange('A1:D1').GetValue(), [['Item', 'Column2', 'item2', '2024']]);

// case: totals row below the data with SUBTOTAL formulas and labels
s.GetRange('A1:C3').SetValue([['Item', 'Qty', 'Price'], ['a', 1, 2], ['b', 4, 5]]);
s.AddTable('A1:C3', 'Totals', {totals: {Item: {label: 'Total'}, Qty: 'sum', Price: 'average'}, style: 'TableStyleLight9', bandedColumns: true});
same(s.GetRange('A4').GetValue(), 'Total'); same(s.GetRange('B4').GetFormula(), '=SUBTOTAL(109,B2:B3)');
same(s.GetRange('C4').GetFormula(), '=SUBTOTAL(101,C2:C3)');

// case: rows inserted inside grow the table; a cut is refused
s.GetRange('A1:B3').SetValue([['k', 'v'], ['a', 1], ['b', 2]]); s.AddTable('A1:B3', 'T');
s.GetRows('3:3').Insert('down');
throwsWith(function () { s.GetRange('B2').Insert('down'); }, 'Cannot move part of table T');
s.AddTable('A6:B7', 'U'); throwsWith(function () { s.AddTable('B4:C8', 'V'); }, 'overlaps table');

// case: names are checked and unique across tables and defined names
s.GetRange('A1:B2').SetValue([['k', 'v'], ['a', 1]]); s.GetRange('D1:E2').SetValue([['k', 'v'], ['a', 1]]);
s.AddTable('A1:B2', 'Sales');
throwsWith(function () { s.AddTable('D1:E2', 'SALES'); }, 'already used');
s.AddDefName('Rates', 'A1'); throwsWith(function () { s.AddTable('D1:E2', 'rates'); }, 'already used');
throwsWith(function () { s.AddTable('D1:E2', 'B2'); }, 'Not a valid table name');
throwsWith(function () { s.AddTable('D1:E2', 'two words'); }, 'Not a valid table name');
throwsWith(function () { s.AddDefName('sales', 'A1'); }, 'already a table');

// case: a totals row never writes over data
s.GetRange('A1:B3').SetValue([['k', 'v'], ['a', 1], ['b', 2]]); s.GetRange('B4').SetValue('kept');
throwsWith(function () { s.AddTable('A1:B3', 'T', {totals: {v: 'sum'}}); }, 'totals row 4 below the table is not empty');
same(s.GetRange('B4').GetValue(), 'kept'); same(s.GetTableNames(), []);

// case: wrong shapes and options
throwsWith(function () { s.AddTable('A:B', 'T'); }, 'not whole rows or columns');
throwsWith(function () { s.AddTable('A1:B1', 'T'); }, 'at least one row of data');
s.GetRange('A1:B1').Merge(); throwsWith(function () { s.AddTable('A1:C4', 'T'); }, 'cannot hold merged cells');
throwsWith(function () { s.AddTable('D1:E4', 'T', {totals: {Column1: 'median'}}); }, 'Unknown totals function');
throwsWith(function () { s.AddTable('D1:E4', 'T', {totals: {Column1: {}}}); }, 'option "label" is missing');
throwsWith(function () { s.AddTable('D1:E4', 'T', {header: false}); }, 'unknown option "header"');
s.AddTable('D1:E4', 'NoHeader', {headerRow: false}); same(s.GetRange('D1').GetValue(), '');
throwsWith(function () { s.AddTable('G1:H4', 'T1'); }, 'Not a valid table name');
