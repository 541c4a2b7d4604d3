// Tab color protection and calculation mode.
builder.CreateFile('xlsx');

// case: tab colour
var s = Api.GetActiveSheet(); s.SetTabColor(Api.CreateColorFromRGB(1, 2, 3)); s.SetTabColor(null);
throwsWith(function () { s.SetTabColor('red'); }, 'a Color');

// case: protect and unprotect
var s = Api.GetActiveSheet(); same(s.IsProtected(), false); s.Protect('pw', {formatCells: true, sort: false});
same(s.IsProtected(), true); s.Unprotect(); same(s.IsProtected(), false); s.Protect(); s.Protect(null, null);

// case: protect refuses what it cannot write
var s = Api.GetActiveSheet();
throwsWith(function () { s.Protect('pw', {formatcell: true}); }, 'Unknown sheet permission');
throwsWith(function () { s.Protect('pw', {sort: 1}); }, 'permission "sort" must be a boolean');
throwsWith(function () { s.Protect('pw', [true]); }, 'an object of permissions');
throwsWith(function () { s.Protect('mot de passe é'); }, 'printable ASCII');
same(s.IsProtected(), false);

// case: calculation mode
same(Api.GetCalculationMode(), 'auto'); Api.SetCalculationMode('MANUAL');
same(Api.GetCalculationMode(), 'manual');
throwsWith(function () { Api.SetCalculationMode('sometimes'); }, 'auto, manual, autoNoTable');

// case: forced recalculation
var s = Api.GetActiveSheet(); s.GetRange('A1').SetValue(2); s.GetRange('B1').SetValue('=A1*3');
Api.Calculate(); same(s.GetRange('B1').GetValue(), 6);
throwsWith(function () { Api.Calculate(1); }, '');
