// Charts check their type series and options.
builder.CreateFile('xlsx');
var s = Api.GetActiveSheet();

// case: every type
s.GetRange('A1:C3').SetValue([['m', 'a', 'b'], ['x', 1, 2], ['y', 3, 4]]);
['column', 'BAR', 'line', 'pie', 'scatter', 'area'].forEach(function (t, i) {
s.AddChart(t, 'E' + (1 + i * 10) + ':J' + (9 + i * 10), {series: [{values: 'B2:B3', categories: 'A2:A3', nameCell: 'B1'}]}); });
s.AddChart('bar', 'L1:P9', {series: [{values: 'B2:B3'}, {values: 'C2:C3', name: 'b'}], grouping: 'percentStacked',
title: 'T', categoryAxisTitle: 'x', valueAxisTitle: 'y', legend: 'top'});

// case: references on other sheets must name one that exists
Api.AddSheet('My data'); s.AddChart('line', 'A1:F9', {series: [{values: "'My data'!B2:B9"}]});
throwsWith(function () { s.AddChart('line', 'A1:F9', {series: [{values: 'Nope!B2:B9'}]}); },
'series 1: option "values" names a sheet that does not exist: Nope');

// case: wrong types, words and options
throwsWith(function () { s.AddChart('donut', 'A1:F9', {series: [{values: 'B2:B3'}]}); }, 'Unknown chart type "donut"');
throwsWith(function () { s.AddChart('pie', 'A1:F9', {series: []}); }, 'must hold 1 to 255 series');
throwsWith(function () { s.AddChart('pie', 'A1:F9', {}); }, 'option "series" must be an array');
throwsWith(function () { s.AddChart('pie', 'A1:F9', {series: [{categories: 'A1:A2'}]}); }, 'option "values" is missing');
throwsWith(function () { s.AddChart('pie', 'A1:F9', {series: [{values: 'B2:B3', grouping: 1}]}); }, 'series 1: unknown option "grouping"');
throwsWith(function () { s.AddChart('pie', 'A1:F9', {series: [{values: 'B2:B3'}], grouping: 'stacked'}); }, 'is for column, bar, line and area');
throwsWith(function () { s.AddChart('bar', 'A1:F9', {series: [{values: 'B2:B3'}], legend: 'middle'}); }, 'Unknown legend position');
throwsWith(function () { s.AddChart('bar', 'A1:F9', {series: [{values: 'B2:B3', name: 'n', nameCell: 'A1'}]}); }, 'cannot be given with nameCell');
throwsWith(function () { s.AddChart('bar', 'A1:F9', {series: [{values: 'B:B'}]}); }, 'must be cells');
throwsWith(function () { s.AddChart('bar', '3:9', {series: [{values: 'B2:B3'}]}); }, 'not whole rows or columns');
throwsWith(function () { s.AddChart('bar', 'A1:F9', {series: [{values: 'B2:B3'}], titel: 'x'}); }, 'unknown option "titel"');

// case: chart sheets take a sheet name of their own
Api.AddChartSheet('Overview', 'pie', {series: [{values: 'B2:B3'}]}); same(Api.GetChartSheetNames(), ['Overview']);
throwsWith(function () { Api.AddChartSheet('sheet1', 'pie', {series: [{values: 'B2:B3'}]}); }, 'already exists');
throwsWith(function () { Api.AddSheet('OVERVIEW'); }, 'already exists');
throwsWith(function () { Api.AddChartSheet('a:b', 'pie', {series: [{values: 'B2:B3'}]}); }, 'cannot contain');
same(Api.GetSheets().length, 1);
