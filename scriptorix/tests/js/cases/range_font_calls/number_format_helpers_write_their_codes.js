// Number format helpers write their codes.

// case: number format helpers write their codes
builder.CreateFile('xlsx'); var s = Api.GetActiveSheet(); s.GetRange('A1:A4').SetValue([[1234.5], [0.256], [45292.5], [-3]]);
s.GetRange('A1').SetCurrencyFormat(); same(s.GetRange('A1').Find('$1,234.50').GetAddress(), 'A1');
s.GetRange('A4').SetCurrencyFormat('EUR ', 0); same(s.GetRange('A4').Find('-EUR 3').GetAddress(), 'A4');
s.GetRange('A2').SetPercentFormat(1); same(s.GetRange('A2').Find('25.6%').GetAddress(), 'A2');
s.GetRange('A3').SetDateFormat(true); same(s.GetRange('A3').Find('2024-01-01 12:00').GetAddress(), 'A3');
s.GetRange('A3').SetDateFormat(); same(s.GetRange('A3').Find('2024-01-01').GetAddress(), 'A3');
throwsWith(function () { s.GetRange('A1').SetCurrencyFormat('a"b'); }, 'no double quote');
throwsWith(function () { s.GetRange('A1').SetPercentFormat(11); }, '');
throwsWith(function () { s.GetRange('A1').SetDateFormat('yes'); }, 'must be a boolean');
s.GetCols('A').AutoFit(); throwsWith(function () { s.GetCols('A').AutoFit(1); }, 'takes 0 arguments');
