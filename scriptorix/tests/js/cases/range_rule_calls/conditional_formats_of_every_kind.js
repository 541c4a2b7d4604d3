// Conditional formats of every kind.
builder.CreateFile('xlsx');
var s = Api.GetActiveSheet();

// case: cell value and expression
var red = Api.CreateColorFromRGB(255, 0, 0);
s.GetRange('A1:A9').AddConditionalFormat({type: 'cellValue', operator: 'between', formula1: 1,
formula2: '=B1', format: {fontColor: red, bold: true, italic: false, numberFormat: '0.0'}});
s.GetRange('B1:B9').AddConditionalFormat({type: 'expression', formula1: '=$A1>2',
format: {fill: red, border: 'thin', borderColor: red}});

// case: scales, bars and icons need no format
var c = Api.CreateColorFromRGB(1, 2, 3);
s.GetRange('C1:C9').AddConditionalFormat({type: 'colorScale', colors: [c, c, c]});
s.GetRange('C1:C9').AddConditionalFormat({type: 'dataBar'});
s.GetRange('C1:C9').AddConditionalFormat({type: 'iconSet', iconSet: '5arrows'});

// case: ranks, averages, duplicates and text
var f = {bold: true};
s.GetRange('D1:D9').AddConditionalFormat({type: 'top', rank: 20, percent: true, bottom: true, format: f});
s.GetRange('D1:D9').AddConditionalFormat({type: 'aboveAverage', below: true, format: f});
s.GetRange('D1:D9').AddConditionalFormat({type: 'duplicate', format: f});
s.GetRange('D1:D9').AddConditionalFormat({type: 'unique', format: f});
s.GetRange('D1:D9').AddConditionalFormat({type: 'containsText', text: 'late', format: f});
