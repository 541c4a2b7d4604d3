// Values keep their kind.
builder.CreateFile('xlsx');
var s = Api.GetActiveSheet();

// case: number
s.GetRange('A1').SetValue(42.5); same(s.GetRange('A1').GetValue(), 42.5);

// case: boolean
s.GetRange('A1').SetValue(true); same(s.GetRange('A1').GetValue(), true);

// case: text with leading zeros stays text
s.GetRange('A1').SetValue('00123'); same(s.GetRange('A1').GetValue(), '00123');

// case: apostrophe stores the rest
s.GetRange('A1').SetValue("'=1+1"); same(s.GetRange('A1').GetValue(), '=1+1');

// case: lone equals sign is text
s.GetRange('A1').SetValue('='); same(s.GetRange('A1').GetFormula(), '=');

// case: null clears
var r = s.GetRange('A1'); r.SetValue(1); r.SetValue(null); same(r.GetValue(), '');

// case: undefined clears
var r = s.GetRange('A1'); r.SetValue(1); r.SetValue(undefined); same(r.GetValue(), '');

// case: empty cell reads as empty text
same(s.GetRange('Z99').GetValue(), '');

// case: formula text
s.GetRange('B1').SetValue('=A1*2'); same(s.GetRange('B1').GetFormula(), '=A1*2');

// case: formula filled over a range shifts
s.GetRange('B1:B3').SetValue('=A1*2');
same(s.GetRange('B1:B3').GetFormula(), [['=A1*2'], ['=A2*2'], ['=A3*2']]);

// case: same value on every cell
s.GetRange('A1:B2').SetValue(3); same(s.GetRange('A1:B2').GetValue(), [[3, 3], [3, 3]]);

// case: GetFormula of values
s.GetRange('A1').SetValue(1.5); s.GetRange('B1').SetValue(false);
same(s.GetRange('A1:C1').GetFormula(), [['1.5', 'FALSE', '']]);

// case: NaN and infinities throw
throwsWith(function () { s.GetRange('A1').SetValue(NaN); }, '');
throwsWith(function () { s.GetRange('A1').SetValue(Infinity); }, '');

// case: objects and flat arrays throw
throwsWith(function () { s.GetRange('A1').SetValue({}); }, 'a number, a boolean, a text, a Date, an array of rows or null');
throwsWith(function () { s.GetRange('A1').SetValue([1]); }, 'row 1 must be an array');

// case: huge writes and reads are refused, clearing is not
throwsWith(function () { s.GetRange('A1:XFD1048576').SetValue(1); }, 'Range.SetValue writes at most 4194304 cells');
throwsWith(function () { s.GetRange('A1:Z200000').GetValue(); }, 'Range.GetValue reads at most 4194304 cells');
s.GetRange('A1:XFD1048576').SetValue(null); s.GetRange('A1:D1000').SetValue(0);

// case: whole columns read as far as the sheet is used
s.GetRange('A2').SetValue(5); same(s.GetCols('A').GetValue(), [[''], [5]]);
same(s.GetRows('2').GetValue(), [[5]]);
