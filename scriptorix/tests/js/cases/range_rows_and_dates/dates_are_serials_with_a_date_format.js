// Dates are serials with a date format.
builder.CreateFile('xlsx');
var s = Api.GetActiveSheet();

// case: the 1900 system with its phantom leap day
s.GetRange('A1').SetValue(new Date(1900, 0, 1)); same(s.GetRange('A1').GetValue(), 1);
s.GetRange('A2').SetValue(new Date(1900, 1, 28)); same(s.GetRange('A2').GetValue(), 59);
s.GetRange('A3').SetValue(new Date(1900, 2, 1)); same(s.GetRange('A3').GetValue(), 61);
s.GetRange('A4').SetValue(new Date(2024, 1, 29, 18)); same(s.GetRange('A4').GetValue(), 45351.75);

// case: a default format only where there is none
s.GetRange('A1').SetValue(new Date(2024, 0, 2)); same(s.GetRange('A1').GetFormula(), '45293');
same(s.GetRange('A1').Find('2024-01-02').GetAddress(), 'A1');
s.GetRange('B1').SetNumberFormat('d mmm yyyy'); s.GetRange('B1').SetValue(new Date(2024, 0, 2));
same(s.GetRange('B1').Find('2 Jan 2024').GetAddress(), 'B1');
s.GetRange('C1').SetValue(new Date(2024, 0, 2, 6)); same(s.GetRange('C1').Find('2024-01-02 06:00:00').GetAddress(), 'C1');

// case: dates no serial has
throwsWith(function () { s.GetRange('A1').SetValue(new Date(1899, 11, 31)); }, 'between 1900-01-01 and 9999-12-31');
throwsWith(function () { s.GetRange('A1').SetValue(new Date(10000, 0, 1)); }, 'between');
throwsWith(function () { s.GetRange('A1').SetValue(new Date(NaN)); }, 'invalid Date');

// case: read back as dates
var d = new Date(2023, 11, 31, 23, 59, 59, 500); s.GetRange('A1').SetValue(d);
same(s.GetRange('A1').GetValueAsDate().getTime(), d.getTime());
same(s.GetRange('A2').GetValueAsDate(), null); s.GetRange('A3').SetValue('text'); same(s.GetRange('A3').GetValueAsDate(), null);
s.GetRange('A4').SetValue(-1); same(s.GetRange('A4').GetValueAsDate(), null);
s.GetRange('A5').SetValue(60); same(s.GetRange('A5').GetValueAsDate().getDate(), 1);
same(s.GetRange('A1:A2').GetValueAsDate()[0][0].getFullYear(), 2023);
