// Conditional format mistakes are named.
builder.CreateFile('xlsx');
var s = Api.GetActiveSheet();

// case: not an object
throwsWith(function () { s.GetRange('A1').AddConditionalFormat('x'); },
'argument 1 must be an object of options');

// case: misspelt option
throwsWith(function () { s.GetRange('A1').AddConditionalFormat({type: 'unique',
fromat: {bold: true}}); }, 'argument 1: unknown option "fromat"');

// case: unknown type
throwsWith(function () { s.GetRange('A1').AddConditionalFormat({type: 'sparkle'}); },
'option "type" Unknown conditional format type');

// case: missing second value
throwsWith(function () { s.GetRange('A1').AddConditionalFormat({type: 'cellValue', operator: 'between',
formula1: 1, format: {bold: true}}); }, 'option "formula2" is needed');

// case: bad formula
throwsWith(function () { s.GetRange('A1').AddConditionalFormat({type: 'expression',
formula1: '=A1>', format: {bold: true}}); }, 'Formula error');

// case: format that sets nothing
throwsWith(function () { s.GetRange('A1').AddConditionalFormat({type: 'unique', format: {}}); },
'option "format" sets nothing');

// case: nested option named with its parent
throwsWith(function () { s.GetRange('A1').AddConditionalFormat({type: 'unique', format: {fill: 'red'}}); },
'option "format": option "fill" must be a Color');

// case: number format checked as a cell's
throwsWith(function () { s.GetRange('A1').AddConditionalFormat({type: 'unique', format: {numberFormat:
'0.0"'}}); }, 'option "format": option "numberFormat" Malformed number format code');

// case: rank within its bounds
throwsWith(function () { s.GetRange('A1').AddConditionalFormat({type: 'top', rank: 101, percent: true,
format: {bold: true}}); }, 'option "rank" must be a whole number from 1 to 100');

// case: two or three colours
throwsWith(function () { s.GetRange('A1').AddConditionalFormat({type: 'colorScale',
colors: [Api.CreateColorFromRGB(1, 2, 3)]}); }, 'array of 2 or 3 Colors');

// case: unknown icons
throwsWith(function () { s.GetRange('A1').AddConditionalFormat({type: 'iconSet',
iconSet: '7Stars'}); }, 'Unknown icon set');
