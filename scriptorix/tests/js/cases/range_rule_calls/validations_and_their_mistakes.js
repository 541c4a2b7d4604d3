// Validations and their mistakes.
builder.CreateFile('xlsx');
var s = Api.GetActiveSheet();

// case: lists inline and from cells
s.GetRange('A1:A5').SetValidation({type: 'list', source: 'low,mid,high', dropDown: true});
Api.AddSheet('Lists'); s.GetRange('B1').SetValidation({type: 'list', source: '=Lists!$A$1:$A$3'});

// case: numbers, dates and texts
s.GetRange('C1').SetValidation({type: 'whole', operator: 'greaterThan', formula1: 0,
errorStyle: 'warning', errorTitle: 'Count', errorMessage: 'Whole numbers above 0'});
s.GetRange('D1').SetValidation({type: 'date', formula1: new Date(2024, 0, 1), formula2: new Date(2024, 11, 31),
inputTitle: 'When', inputMessage: 'A day of 2024', allowBlank: false});
s.GetRange('E1').SetValidation({type: 'textLength', operator: 'lessThanOrEqual', formula1: 10});
s.GetRange('F1').SetValidation({type: 'custom', formula1: '=ISNUMBER(F1)'});

// case: a second validation over part of one is refused
s.GetRange('A1:A5').SetValidation({type: 'whole', formula1: 1, formula2: 5});
throwsWith(function () { s.GetRange('A4:A8').SetValidation({type: 'custom', formula1: 'TRUE'}); },
'overlaps the one on A1:A5');
s.GetRange('A1:A9').SetValidation({type: 'custom', formula1: 'TRUE'});

// case: list mistakes
throwsWith(function () { s.GetRange('A1').SetValidation({type: 'list'}); }, 'option "source" is needed');
throwsWith(function () { s.GetRange('A1').SetValidation({type: 'list', source: ''}); }, 'at least one item');
throwsWith(function () { s.GetRange('A1').SetValidation({type: 'list', source: '='}); }, 'must name cells');

// case: values and texts
throwsWith(function () { s.GetRange('A1').SetValidation({type: 'decimal', formula1: 1}); },
'option "formula2" is needed');
throwsWith(function () { s.GetRange('A1').SetValidation({type: 'whole', operator: 'equal', formula1: true}); },
'must be a number or a formula');
throwsWith(function () { s.GetRange('A1').SetValidation({type: 'custom', formula1: '1', errorTitle:
'x'.repeat(33)}); }, 'at most 32 characters');
throwsWith(function () { s.GetRange('A1').SetValidation({type: 'custom', formula1: '1', errorStyle: 'loud'}); },
'Unknown validation error style');
