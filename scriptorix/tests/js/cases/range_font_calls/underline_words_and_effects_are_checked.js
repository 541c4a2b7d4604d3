// Underline words and effects are checked.

// case: underline words and effects are checked
builder.CreateFile('xlsx'); var r = Api.GetActiveSheet().GetRange('A1:B2');
r.SetUnderline(true); r.SetUnderline('DoubleAccounting'); r.SetUnderline('none'); r.SetUnderline(false);
r.SetStrikethrough(true); r.SetSuperscript(true); r.SetSubscript(false); r.SetSubscript(true);
throwsWith(function () { r.SetUnderline('wavy'); }, 'single, double, singleAccounting, doubleAccounting');
throwsWith(function () { r.SetUnderline(1); }, 'a boolean or an underline style');
throwsWith(function () { r.SetStrikethrough('yes'); }, 'must be a boolean');
throwsWith(function () { r.SetSuperscript(); }, 'takes 1 argument');
