// Notes are added replaced moved and removed.
builder.CreateFile('xlsx');
var s = Api.GetActiveSheet();

// case: add, replace and read
s.GetRange('B2').SetNote('first', 'Ann'); same(s.GetRange('B2').GetNote(), {text: 'first', author: 'Ann'});
s.GetRange('b2').SetNote('second'); same(s.GetRange('B2').GetNote(), {text: 'second', author: ''});
same(s.GetRange('B3').GetNote(), null);

// case: removed by null and by ClearNotes over a range
s.GetRange('A1').SetNote('a'); s.GetRange('C3').SetNote('c'); s.GetRange('E5').SetNote('e');
s.GetRange('A1').SetNote(null); same(s.GetRange('A1').GetNote(), null);
s.GetRange('B2:D4').ClearNotes(); same(s.GetRange('C3').GetNote(), null); same(s.GetRange('E5').GetNote().text, 'e');

// case: follow inserted rows and go with deleted cells
s.GetRange('B2').SetNote('moves'); s.GetRange('C2').SetNote('goes');
s.GetRows('1:2').Insert('down'); same(s.GetRange('B4').GetNote().text, 'moves'); same(s.GetRange('B2').GetNote(), null);
s.GetRange('C4').Delete('up'); same(s.GetRange('C4').GetNote(), null); same(s.GetRange('B4').GetNote().text, 'moves');

// case: one cell, text and a length limit
throwsWith(function () { s.GetRange('A1:B2').SetNote('x'); }, 'works on one cell, not A1:B2');
throwsWith(function () { s.GetRange('A1').SetNote(5); }, 'argument 1 must be a string');
throwsWith(function () { s.GetRange('A1').SetNote('x'.repeat(32768)); }, 'at most 32767');
throwsWith(function () { s.GetRange('A1').GetNote(1); }, 'takes 0 arguments');
